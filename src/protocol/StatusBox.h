#pragma once

#include <QString>

// The box that shows the status log (`lStatus`). StatusLog keeps the text and
// tells the box what changed, so the log's rules are testable without widgets
// and a long log is not re-laid-out on every line.
class StatusBox
{
public:
    virtual ~StatusBox() = default;
    // Replaces the whole text (when the log is first shown, or trimmed past
    // what the box was last told).
    virtual void setText(const QString& text) = 0;
    // Adds text at the end. "\r\n" is the log's line break.
    virtual void appendText(const QString& text) = 0;
    // Removes `removed`, which follows `before` at the start of the text: the
    // oldest lines, when the log is trimmed.
    virtual void removeText(const QString& before, const QString& removed) = 0;
    // Puts the caret at the end, so the box scrolls to the last line.
    virtual void moveCaretToEnd() = 0;
};
