#pragma once

#include "report/ReportSource.h"

#include <functional>

class RationEntries;

// The calorie report's view of the fitness side: the ration's readers and
// the chosen group's caption with its daily need, read at the moment the page
// is composed.
class RationReportSource final : public ReportSource
{
public:
    // `ration` is not owned and must outlive this object.
    RationReportSource(const RationEntries& ration, std::function<QString()> group,
                       std::function<double()> need);

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
    const RationEntries& m_ration;
    std::function<QString()> m_group;
    std::function<double()> m_need;
};
