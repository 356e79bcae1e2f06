#pragma once

#include "tray/PopupMenu.h"

#include <QTest>

// A popup menu that opens nowhere: each showAt() answers the next queued index (0 = dismissed,
// none queued fails the test) and records, item 1 first, the enabled flags after aboutToShow.
class ScriptedPopupMenu final : public PopupMenu
{
    Q_OBJECT

public:
    using PopupMenu::PopupMenu;

    void expectShow(int chosenIndex) { m_answers << chosenIndex; }

    int showAt(const QPoint&) override
    {
        emit aboutToShow();
        QList<bool> enabled;
        for (int i = 1; i <= count(); ++i)
            enabled << isEnabled(i);
        enabledWhenShown << enabled;
        if (m_answers.isEmpty())
            QTest::qFail("unexpected popup menu", __FILE__, __LINE__);
        return m_answers.isEmpty() ? 0 : m_answers.takeFirst();
    }

    QList<QList<bool>> enabledWhenShown;

private:
    QList<int> m_answers;
};
