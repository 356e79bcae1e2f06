#pragma once

#include "report/ReportSource.h"

#include <QList>

#include <cmath>

// A ration behind the fitness accessors: entries from 1, the empty one as one empty entry.
class FakeReportSource final : public ReportSource
{
public:
    struct Dish
    {
        QString name, weight = QStringLiteral("0");
        double protein = 0, fat = 0, carb1 = 0, carb2 = 0;
    };

    QList<Dish> dishes;
    QString group = QStringLiteral("Мужчины I (1,4), 18-29 лет (2450 ккал)");
    double need = 2450;

    int rationUpperBound() const override { return qMax(1, int(dishes.size())); }
    bool rationIsEmpty() const override { return dishes.isEmpty(); }
    QString GetDishName(int i) const override { return dishes.value(i - 1).name; }
    QString GetDishWeight(int i) const override { return dishes.value(i - 1).weight; }
    double GetDishProtein(int i) const override { return dishes.value(i - 1).protein; }
    double GetDishFat(int i) const override { return dishes.value(i - 1).fat; }
    double GetDishCarb1(int i) const override { return dishes.value(i - 1).carb1; }
    double GetDishCarb2(int i) const override { return dishes.value(i - 1).carb2; }
    double GetDishKkal(int i) const override
    {
        const Dish d = dishes.value(i - 1);
        return std::round(4 * d.protein + 9 * d.fat + 3.8 * d.carb1 + 4.1 * d.carb2);
    }
    QString GetFullGroup() const override { return group; }
    double GetFizEnergy() const override { return need; }
};
