#pragma once

#include <QString>

#include <stdexcept>

// Raised by GetOutSum for a weight part that is not a number; each caller
// decides what that means for its own step.
class NotANumber final : public std::runtime_error
{
public:
    explicit NotANumber(const QString& text);
    QString text() const { return m_text; }

private:
    QString m_text;
};

// The total of a weight written in parts, as output weights are written in
// catering: "150/50" (or "150\50") is 200. An empty part counts as 0, a point
// is read as the decimal comma. Throws NotANumber for a part that is not a number.
double GetOutSum(const QString& text);

// Key filter of the number boxes: true when the key may pass. Codes up to 26
// (Backspace, Enter, Ctrl+letter) always pass; otherwise the character must be
// a digit or the comma, or "/" and "\" when slashes are allowed.
bool CheckNumKey(int keyCode, bool slashesAllowed);
