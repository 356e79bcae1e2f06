#pragma once

#include "ReportSource.h"

#include <QList>

// A ration held as plain values, read through the same accessors the fitness
// side offers: entries from 1, defaults for a missing entry, and the empty
// ration as one empty entry.
class FakeReportSource final : public ReportSource
{
public:
    struct Dish
    {
        QString name;
        QString weight;
        double protein = 0;
        double fat = 0;
        double carb1 = 0;
        double carb2 = 0;
        double kkal = 0;
    };

    QList<Dish> dishes;
    QString group = u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_qs;
    double need = 2450;

    int rationUpperBound() const override { return dishes.isEmpty() ? 1 : int(dishes.size()); }
    bool rationIsEmpty() const override { return dishes.isEmpty(); }
    QString GetDishName(int i) const override { return has(i) ? at(i).name : QString(); }
    QString GetDishWeight(int i) const override { return has(i) ? at(i).weight : u"0"_qs; }
    double GetDishProtein(int i) const override { return has(i) ? at(i).protein : 0; }
    double GetDishFat(int i) const override { return has(i) ? at(i).fat : 0; }
    double GetDishCarb1(int i) const override { return has(i) ? at(i).carb1 : 0; }
    double GetDishCarb2(int i) const override { return has(i) ? at(i).carb2 : 0; }
    double GetDishKkal(int i) const override { return has(i) ? at(i).kkal : 0; }
    QString GetFullGroup() const override { return group; }
    double GetFizEnergy() const override { return need; }

    // A dish whose kcal follow the energy factors, rounded as the ration does.
    static Dish dish(const QString& name, const QString& weight, double protein, double fat, double carb1,
                     double carb2);

private:
    bool has(int i) const { return i >= 1 && i <= dishes.size(); }
    const Dish& at(int i) const { return dishes[i - 1]; }
};
