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

void PlainTextStatusBox::removeText(const QString& before, const QString& removed)
{
    // Both pieces end with a whole line break, so they convert alone exactly
    // as they do within the whole text.
    const int from = int(displayText(before).size());
    QTextCursor cursor(m_edit->document());
    cursor.setPosition(from);
    cursor.setPosition(from + int(displayText(removed).size()), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
}

void PlainTextStatusBox::moveCaretToEnd()
{
    QTextCursor cursor = m_edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_edit->setTextCursor(cursor);
    m_edit->ensureCursorVisible();
}
