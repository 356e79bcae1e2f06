#pragma once

#include "protocol/StatusBox.h"

class QPlainTextEdit;

// The status log shown in a QPlainTextEdit: always plain text, so server text
// written to the log can never be taken for markup.
class PlainTextStatusBox final : public StatusBox
{
public:
    // `edit` is not owned and must outlive this box.
    explicit PlainTextStatusBox(QPlainTextEdit* edit);

    void setText(const QString& text) override;
    void appendText(const QString& text) override;
    void removeText(const QString& before, const QString& removed) override;
    void moveCaretToEnd() override;

    // The log's text as the edit shows it: every CR LF, and any lone CR or
    // LF from server text, becomes one line break (the edit would otherwise
    // start a paragraph for each of the two characters).
    static QString displayText(const QString& text);

private:
    QPlainTextEdit* m_edit;
};
