#include "ScriptedPopupMenu.h"

#include <QTest>

int ScriptedPopupMenu::showAt(const QPoint& point)
{
    emit aboutToShow();
    shownAt << point;
    QList<bool> enabled;
    for (int i = 1; i <= count(); ++i)
        enabled << isEnabled(i);
    enabledWhenShown << enabled;
    if (m_answers.isEmpty()) {
        QTest::qFail("unexpected popup menu", __FILE__, __LINE__);
        return 0;
    }
    return m_answers.dequeue();
}
