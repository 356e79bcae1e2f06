#include "PlainTextStatusBox.h"

#include <QPlainTextEdit>
#include <QTextCursor>

PlainTextStatusBox::PlainTextStatusBox(QPlainTextEdit* edit) : m_edit(edit) {}

QString PlainTextStatusBox::displayText(const QString& text)
{
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    shown.replace(u'\r', u'\n');
    return shown;
}

void PlainTextStatusBox::setText(const QString& text)
{
    m_edit->setPlainText(displayText(text));
}

void PlainTextStatusBox::appendText(const QString& text)
{
    QTextCursor cursor(m_edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(displayText(text));
}

void PlainTextStatusBox::moveCaretToEnd()
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}
