#pragma once

#include "tray/PopupMenu.h"

#include <QQueue>
#include <QTest>

// A popup menu that opens nowhere: each showAt() answers the next queued
// index (0 = dismissed) and records how the items' enabled flags stood once
// aboutToShow had been answered. A showAt() with no answer queued fails the test.
class ScriptedPopupMenu final : public PopupMenu
{
    Q_OBJECT

public:
    using PopupMenu::PopupMenu;

    void expectShow(int chosenIndex) { m_answers.enqueue(chosenIndex); }

    int showAt(const QPoint&) override
    {
        emit aboutToShow();
        QList<bool> enabled;
        for (int i = 1; i <= count(); ++i)
            enabled << isEnabled(i);
        enabledWhenShown << enabled;
        if (m_answers.isEmpty())
            QTest::qFail("unexpected popup menu", __FILE__, __LINE__);
        return m_answers.isEmpty() ? 0 : m_answers.dequeue();
    }

    // One entry per opening, item 1 first.
    QList<QList<bool>> enabledWhenShown;

private:
    QQueue<int> m_answers;
};
