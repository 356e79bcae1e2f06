#include "protocol/StatusLog.h"

#include "protocol/StatusBox.h"

using namespace Qt::StringLiterals;

namespace {

const QString kLineBreak = u"\r\n"_s;

} // namespace

StatusLog::StatusLog(qsizetype maxChars) : m_text(initialText()), m_maxChars(maxChars) {}

QString StatusLog::initialText()
{
    return u"Лог сервера:"_s + kLineBreak;
}

void StatusLog::setBox(StatusBox* box)
{
    m_box = box;
    clearHeld();
    if (m_box) {
        m_box->setText(m_text);
        m_box->moveCaretToEnd();
    }
}

void StatusLog::AddStatus(const QString& line)
{
    QString added;
    if (!m_text.isEmpty())
        added = kLineBreak;
    if (line.size() > kMaxLineChars)
        added += line.left(kMaxLineChars) + u"…"_s;
    else
        added += line;
    m_text += added;
    if (!m_box) {
        if (m_text.size() > m_maxChars)
            trim();
        return;
    }
    if (m_held) {
        if (!m_heldReset)
            m_heldAppend += added;
        if (m_text.size() > m_maxChars) {
            const QString cut = trim();
            if (!m_heldReset && cut.size() <= m_heldBoxChars - initialText().size()) {
                m_heldCut += cut;
                m_heldBoxChars -= cut.size();
            } else {
                // The cut reaches into lines the box was never given: the
                // release gives it the whole text instead.
                m_heldReset = true;
                m_heldAppend.clear();
                m_heldCut.clear();
            }
        }
        return;
    }
    m_box->appendText(added);
    if (m_text.size() > m_maxChars) {
        const QString cut = trim();
        if (!cut.isEmpty())
            m_box->removeText(initialText(), cut);
    }
    m_box->moveCaretToEnd();
}

void StatusLog::holdBox()
{
    if (m_held)
        return;
    clearHeld();
    m_held = true;
    m_heldBoxChars = m_text.size();
}

void StatusLog::releaseBox()
{
    if (!m_held)
        return;
    if (m_box) {
        if (m_heldReset) {
            m_box->setText(m_text);
        } else {
            if (!m_heldCut.isEmpty())
                m_box->removeText(initialText(), m_heldCut);
            if (!m_heldAppend.isEmpty())
                m_box->appendText(m_heldAppend);
        }
        m_box->moveCaretToEnd();
    }
    clearHeld();
}

void StatusLog::clearHeld()
{
    m_held = m_heldReset = false;
    m_heldAppend.clear();
    m_heldCut.clear();
    m_heldBoxChars = 0;
}

QString StatusLog::trim()
{
    // Drop down to three quarters of the bound at once, so trimming happens
    // once per quarter of the bound rather than on every line.
    const qsizetype heading = initialText().size();
    const qsizetype excess = m_text.size() - m_maxChars * 3 / 4;
    if (excess <= 0)
        return QString();
    qsizetype cut = m_text.indexOf(kLineBreak, heading + excess);
    if (cut < 0) {
        // Only the last line is left past the cut: keep it whole.
        cut = m_text.lastIndexOf(kLineBreak);
        if (cut < heading)
            return QString();
    }
    // Keep the heading; the text after it starts with the surviving line.
    const qsizetype removed = cut + kLineBreak.size() - heading;
    QString text = m_text.mid(heading, removed);
    m_text.remove(heading, removed);
    return text;
}
