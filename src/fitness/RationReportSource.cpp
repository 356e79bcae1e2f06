#include "fitness/RationReportSource.h"

#include "fitness/FitnessController.h"

RationReportSource::RationReportSource(const FitnessController& fitness) : m_fitness(fitness) {}

int RationReportSource::rationUpperBound() const
{
    return m_fitness.recipeData().rationEntries().upperBound();
}

bool RationReportSource::rationIsEmpty() const
{
    return m_fitness.recipeData().rationEntries().isEmpty();
}

QString RationReportSource::GetDishName(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishName(i);
}

QString RationReportSource::GetDishWeight(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishWeight(i);
}

double RationReportSource::GetDishProtein(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishProtein(i);
}

double RationReportSource::GetDishFat(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishFat(i);
}

double RationReportSource::GetDishCarb1(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishCarb1(i);
}

double RationReportSource::GetDishCarb2(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishCarb2(i);
}

double RationReportSource::GetDishKkal(int i) const
{
    return m_fitness.recipeData().rationEntries().GetDishKkal(i);
}

QString RationReportSource::GetFullGroup() const
{
    return m_fitness.GetFullGroup();
}

double RationReportSource::GetFizEnergy() const
{
    return m_fitness.GetFizEnergy();
}
