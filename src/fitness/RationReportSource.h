#pragma once

#include "report/ReportSource.h"

class FitnessController;

// The calorie report's view of the fitness side: the ration's readers and
// the chosen group with its daily need, read at the moment the page is
// composed.
class RationReportSource final : public ReportSource
{
public:
    // `fitness` is not owned and must outlive this object.
    explicit RationReportSource(const FitnessController& fitness);

    int rationUpperBound() const override;
    bool rationIsEmpty() const override;
    QString GetDishName(int i) const override;
    QString GetDishWeight(int i) const override;
    double GetDishProtein(int i) const override;
    double GetDishFat(int i) const override;
    double GetDishCarb1(int i) const override;
    double GetDishCarb2(int i) const override;
    double GetDishKkal(int i) const override;
    QString GetFullGroup() const override;
    double GetFizEnergy() const override;

private:
    const FitnessController& m_fitness;
};
