#include "ErrorBox.h"

#include "Dialogs.h"

QString errorBoxText(const QString& message, const QString& module, const QString& procedure, int code)
{
    return message + u'\r' + module + u'\r' + procedure + u'\r' + QStringLiteral("Код: ") +
           QString::number(code);
}

void Show_Error(const QString& message, const QString& module, const QString& procedure, int code)
{
    Dialogs::message(errorBoxText(message, module, procedure, code), Dialogs::Buttons::Ok,
                     Dialogs::Icon::Critical, QStringLiteral("Ventaro"));
}
