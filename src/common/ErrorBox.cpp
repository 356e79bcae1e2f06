#include "common/ErrorBox.h"

#include "common/Dialogs.h"

using namespace Qt::StringLiterals;

QString errorBoxText(const QString& message, const QString& module, const QString& procedure, int code)
{
    return message + u'\r' + module + u'\r' + procedure + u'\r' + u"Код: "_s + QString::number(code);
}

void Show_Error(const QString& message, const QString& module, const QString& procedure, int code)
{
    Dialogs::message(errorBoxText(message, module, procedure, code), Dialogs::Buttons::Ok,
                     Dialogs::Icon::Critical, u"Ventaro"_s);
}

void showInputError(const QString& message)
{
    Show_Error(message, QString(), QString(), 0);
}
