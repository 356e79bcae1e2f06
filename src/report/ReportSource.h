#pragma once

#include <QString>

// What the calorie report reads: the ration with its accessors and the chosen
// group with its daily need. The fitness side implements it. Everything is
// read while the page is composed; the report keeps nothing of it.
class ReportSource
{
public:
    virtual ~ReportSource() = default;

    // Highest entry index of the ration; entries are numbered from 1.
    virtual int rationUpperBound() const = 0;
    // True for the empty ration: exactly one entry, holding the empty text.
    virtual bool rationIsEmpty() const = 0;

    // Accessors of entry i; an entry that is missing or empty gives "", "0"
    // and zeros.
    virtual QString GetDishName(int i) const = 0;
    // The weight as the user typed it, printed unchanged.
    virtual QString GetDishWeight(int i) const = 0;
    virtual double GetDishProtein(int i) const = 0;
    virtual double GetDishFat(int i) const = 0;
    virtual double GetDishCarb1(int i) const = 0;
    virtual double GetDishCarb2(int i) const = 0;
    // Already rounded to a whole number of kcal.
    virtual double GetDishKkal(int i) const = 0;

    // The caption of the chosen population group.
    virtual QString GetFullGroup() const = 0;
    // The group's daily energy need in kcal; 0 when no need is known.
    virtual double GetFizEnergy() const = 0;
};
