#pragma once

#include <QString>

// The program's error box: the message, the module text, the procedure text
// and "Код: " with the code, one per line, critical icon, title "Ventaro".
// Errors in the user's input pass empty module and procedure texts and code 0.
void Show_Error(const QString& message, const QString& module, const QString& procedure, int code);

// The text Show_Error shows (carriage returns between the lines).
QString errorBoxText(const QString& message, const QString& module, const QString& procedure, int code);
