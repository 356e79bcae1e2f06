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

    const QString& text() const { return m_text; }

private:
    Q_DISABLE_COPY_MOVE(StatusLog)
    void trim();

    QString m_text;
    StatusBox* m_box = nullptr;
    qsizetype m_maxChars;
};
