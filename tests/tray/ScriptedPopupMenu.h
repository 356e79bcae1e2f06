#pragma once

#include "PopupMenu.h"

#include <QList>
#include <QPoint>
#include <QQueue>

// A popup menu that opens nowhere: each showAt() answers the next queued
// index (0 = dismissed) and records where it was asked to open and how the
// items stood at that moment. A showAt() with no answer queued fails the test.
class ScriptedPopupMenu final : public PopupMenu
{
    Q_OBJECT

public:
    using PopupMenu::PopupMenu;

    void expectShow(int chosenIndex) { m_answers.enqueue(chosenIndex); }
    int pending() const { return int(m_answers.size()); }

    int showAt(const QPoint& point) override;

    QList<QPoint> shownAt;
    // Per opening, the enabled flag of every item (index 1 first), taken
    // after aboutToShow has been answered.
    QList<QList<bool>> enabledWhenShown;

private:
    QQueue<int> m_answers;
};
