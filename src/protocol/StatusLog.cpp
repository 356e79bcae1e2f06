#include "StatusLog.h"

#include "StatusBox.h"

namespace {

const QString kLineBreak = QStringLiteral("\r\n");

} // namespace

StatusLog::StatusLog(qsizetype maxChars) : m_text(initialText()), m_maxChars(maxChars) {}

QString StatusLog::initialText()
{
    return QStringLiteral("Лог сервера:") + kLineBreak;
}

void StatusLog::setBox(StatusBox* box)
{
    m_box = box;
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
        added += line.left(kMaxLineChars) + QStringLiteral("…");
    else
        added += line;
    m_text += added;
    if (m_text.size() > m_maxChars) {
        trim();
        if (m_box)
            m_box->setText(m_text);
    } else if (m_box) {
        m_box->appendText(added);
    }
    if (m_box)
        m_box->moveCaretToEnd();
}

void StatusLog::trim()
{
    // Drop down to three quarters of the bound at once, so trimming (and
    // the box's full re-layout) happens once per quarter of the bound rather
    // than on every line.
    const qsizetype heading = initialText().size();
    const qsizetype excess = m_text.size() - m_maxChars * 3 / 4;
    if (excess <= 0)
        return;
    qsizetype cut = m_text.indexOf(kLineBreak, heading + excess);
    if (cut < 0) {
        // Only the last line is left past the cut: keep it whole.
        cut = m_text.lastIndexOf(kLineBreak);
        if (cut < heading)
            return;
    }
    // Keep the heading; the text after it starts with the surviving line.
    m_text.remove(heading, cut + kLineBreak.size() - heading);
}
