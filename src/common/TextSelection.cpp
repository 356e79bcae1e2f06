#include "common/TextSelection.h"

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

void SelectText()
{
    QWidget* focused = QApplication::focusWidget();
    if (auto* line = qobject_cast<QLineEdit*>(focused))
        line->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(focused))
        plain->selectAll();
    else if (auto* rich = qobject_cast<QTextEdit*>(focused))
        rich->selectAll();
}
