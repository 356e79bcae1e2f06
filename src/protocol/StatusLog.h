#pragma once

#include <QString>
#include <QtGlobal>

class StatusBox;

// The server log the main window shows: connection lines, composition
// arrivals and unknown server messages, one per line, CR LF between lines.
//
// It is bounded: an endless stream of unknown messages must not exhaust
// memory, so past maxChars the oldest lines are dropped (the heading stays),
// and a single line is cut to kMaxLineChars.
class StatusLog final
{
public:
    static constexpr qsizetype kDefaultMaxChars = 4 * 1024 * 1024;
    static constexpr qsizetype kMaxLineChars = 64 * 1024;

    explicit StatusLog(qsizetype maxChars = kDefaultMaxChars);

    // The text the log starts with: "Лог сервера:" and a line break.
    static QString initialText();

    // Shows the log in `box` from now on (nullptr: nowhere). Not owned.
    void setBox(StatusBox* box);

    // Appends one line: a line break if the log is not empty, the line, and
    // the caret to the end. Never fails.
    void AddStatus(const QString& line);

    // Between holdBox() and releaseBox() the box is not told about each line;
    // the release brings it up to date in one go (the oldest lines cut, the
    // new ones appended, the caret moved once), so a burst of thousands of
    // lines costs the box one update instead of one each.
    void holdBox();
    void releaseBox();

    // Characters the held box still lacks: what its release will append.
    qsizetype heldChars() const { return m_heldReset ? m_text.size() : m_heldAppend.size(); }

    const QString& text() const { return m_text; }

private:
    Q_DISABLE_COPY_MOVE(StatusLog)
    // The text removed after the heading; empty when nothing was.
    QString trim();
    void clearHeld();

    QString m_text;
    StatusBox* m_box = nullptr;
    qsizetype m_maxChars;
    // While the box is held: what it still lacks, and what it must lose.
    bool m_held = false;
    QString m_heldAppend;
    QString m_heldCut;
    qsizetype m_heldBoxChars = 0; // chars of m_text the box holds, after the cut
    bool m_heldReset = false;     // trimmed into lines the box never had
};
