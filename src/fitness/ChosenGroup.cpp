#include "fitness/ChosenGroup.h"

#include <algorithm>

void ChosenGroup::setCurrent(const Group& group)
{
    m_current = group;
    emit changed();
}

void ChosenGroup::request(const Group& group)
{
    // The window chooses the group in the table it has, or changes the sex,
    // which asks for a table (and drops any older wish as a hand's choice).
    emit requested(group);
    if (m_due > 0)
        m_wanted = group;
    else
        m_wanted.reset();
}

void ChosenGroup::normAnswered()
{
    m_due = std::max(0, m_due - 1);
    if (m_due == 0)
        m_wanted.reset();
}
