#pragma once

#include <QString>

class QInputDialog;
class QMessageBox;
class QWidget;

// The program's message box, input box and open- and save-file dialogs. Every window asks
// through here, so a test can answer from a script instead of a real dialog.
//
// Texts use a single carriage return as the line break (the program composes
// them that way); the real boxes show it as a new line. Texts are always shown
// as plain text: several boxes carry text that comes from the server.
namespace Dialogs {

enum class Buttons
{
    Ok,
    YesNo
};
enum class Icon
{
    None,
    Information,
    Question,
    Critical
};
enum class Answer
{
    Ok,
    Yes,
    No
};

// The title a box shows when it is given none of its own.
inline constexpr char16_t kApplicationTitle[] = u"Quorvel";

struct Box
{
    QString text;
    QString title; // already defaulted to the application title
    Icon icon = Icon::None;
    Buttons buttons = Buttons::Ok;
};

// Where boxes go. The default backend shows real Qt dialogs.
class Backend
{
public:
    virtual ~Backend() = default;
    virtual Answer message(const Box& box) = 0;
    // Empty text on Cancel.
    virtual QString input(const QString& prompt, const QString& title) = 0;
    // Empty text when the user cancels.
    virtual QString saveFileName(const QString& caption, const QString& suggestedPath,
                                 const QString& filter) = 0;
    // Empty text when the user cancels.
    virtual QString openFileName(const QString& caption, const QString& folder, const QString& filter) = 0;
};

Answer message(const QString& text, Buttons buttons = Buttons::Ok, Icon icon = Icon::None,
               const QString& title = QString());
QString input(const QString& prompt, const QString& title = QString());
QString saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter);
QString openFileName(const QString& caption, const QString& folder, const QString& filter);
// Where a file dialog starts: `fileName` in the user's documents folder, or in
// the home folder when a fresh account has no documents folder yet (a dialog
// given a missing folder starts in the program's working folder instead).
QString inDocuments(const QString& fileName = QString());

// Replaces the backend (nullptr restores the real one). Not owned.
void setBackend(Backend* backend);

// The real box for `box`, configured but not shown: plain-text format set
// before the text, no links opened, carriage returns turned into new lines.
// A text too long for the box's label to stay within the screen is shown
// whole in a scrolling view that does.
QMessageBox* createMessageBox(const Box& box, QWidget* parent = nullptr);
// The real input box, configured the same way and not shown.
QInputDialog* createInputDialog(const QString& prompt, const QString& title, QWidget* parent = nullptr);

} // namespace Dialogs
