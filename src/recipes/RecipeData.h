#pragma once

#include "recipes/RationEntries.h"

#include <QString>

// The recipe data that lives for the whole run: the composition loaded last
// (CurrentHS) and the ration. One object, owned by the fitness side and read
// by the report, so nothing here is a hidden global and tests start clean.
class RecipeData final
{
public:
    RecipeData() = default;
    Q_DISABLE_COPY_MOVE(RecipeData)

    // The payload of the last "$HSDishes=" reply; empty until one arrives.
    const QString& CurrentHS() const { return m_currentHS; }
    void setCurrentHS(const QString& composition) { m_currentHS = composition; }

    RationEntries& rationEntries() { return m_rationEntries; }
    const RationEntries& rationEntries() const { return m_rationEntries; }

private:
    QString m_currentHS;
    RationEntries m_rationEntries;
};
