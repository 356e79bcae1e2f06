#pragma once

#include <QString>

// The program's error box: the message, the module text, the procedure text
// and "Код: " with the code, one per line, critical icon, title "Ventaro".
void Show_Error(const QString& message, const QString& module, const QString& procedure, int code);

// An error in the user's input: Show_Error with empty module and procedure
// texts and code 0.
void showInputError(const QString& message);

// The text Show_Error shows (carriage returns between the lines).
QString errorBoxText(const QString& message, const QString& module, const QString& procedure, int code);
