#include "fitness/RationReportSource.h"

#include "recipes/RationEntries.h"

#include <utility>

RationReportSource::RationReportSource(const RationEntries& ration, std::function<QString()> group,
                                       std::function<double()> need)
    : m_ration(ration), m_group(std::move(group)), m_need(std::move(need))
{
}

int RationReportSource::rationUpperBound() const
{
    return m_ration.upperBound();
}

bool RationReportSource::rationIsEmpty() const
{
    return m_ration.isEmpty();
}

QString RationReportSource::GetDishName(int i) const
{
    return m_ration.GetDishName(i);
}

QString RationReportSource::GetDishWeight(int i) const
{
    return m_ration.GetDishWeight(i);
}

double RationReportSource::GetDishProtein(int i) const
{
    return m_ration.GetDishProtein(i);
}

double RationReportSource::GetDishFat(int i) const
{
    return m_ration.GetDishFat(i);
}

double RationReportSource::GetDishCarb1(int i) const
{
    return m_ration.GetDishCarb1(i);
}

double RationReportSource::GetDishCarb2(int i) const
{
    return m_ration.GetDishCarb2(i);
}

double RationReportSource::GetDishKkal(int i) const
{
    return m_ration.GetDishKkal(i);
}

QString RationReportSource::GetFullGroup() const
{
    return m_group();
}

double RationReportSource::GetFizEnergy() const
{
    return m_need();
}
