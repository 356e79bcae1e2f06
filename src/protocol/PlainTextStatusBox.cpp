#include "protocol/PlainTextStatusBox.h"

#include <QPlainTextEdit>
#include <QTextCursor>

using namespace Qt::StringLiterals;

PlainTextStatusBox::PlainTextStatusBox(QPlainTextEdit* edit) : m_edit(edit)
{
    // Every append and cut would be kept for an undo nobody can make in a
    // read-only log: memory growing with all that was ever logged, past the
    // log's own bound.
    m_edit->setUndoRedoEnabled(false);
}

QString PlainTextStatusBox::displayText(const QString& text)
{
    QString shown = text;
    shown.replace(u"\r\n"_s, u"\n"_s);
    shown.replace(u'\r', u'\n');
    return shown;
}

namespace {

// A text document's cost is per paragraph: a flood's lines would each make
// one. Lines appended in one go are joined into paragraphs of up to
// kLinesPerParagraph lines by line separators, which look the same and read
// back as line feeds (toPlainText, copying). The first character stays: it
// ends the paragraph before.
QString inParagraphs(QString shown)
{
    constexpr int kLinesPerParagraph = 64;
    int lines = 0;
    for (qsizetype i = 1; i < shown.size(); ++i) {
        if (shown.at(i) == u'\n' && ++lines % kLinesPerParagraph != 0)
            shown[i] = QChar::LineSeparator;
    }
    return shown;
}

} // namespace

void PlainTextStatusBox::setText(const QString& text)
{
    m_edit->setPlainText(displayText(text));
}

void PlainTextStatusBox::appendText(const QString& text)
{
    QTextCursor cursor(m_edit->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(inParagraphs(displayText(text)));
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
