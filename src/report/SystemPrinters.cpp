#include "report/SystemPrinters.h"

#include "report/PagePrinting.h"

#include <QPrinter>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

QStringList SystemPrinters::printerNames() const
{
    return QPrinterInfo::availablePrinterNames();
}

QString SystemPrinters::defaultPrinterName() const
{
    return QPrinterInfo::defaultPrinterName();
}

QString SystemPrinters::printPage(const QPicture& page, const QString& printerName)
{
    // Without a printer Qt does not fail: a default QPrinter turns into a PDF
    // writer that calls itself valid and then cannot begin without a file.
    // So the list is asked first, and begin() is checked as well.
    if (printerName.isEmpty() || !QPrinterInfo::availablePrinterNames().contains(printerName))
        return u"Принтер не найден. Установите принтер и откройте просмотр снова."_s;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printerName);
    QPrinter printer(info, QPrinter::HighResolution);
    if (printer.outputFormat() != QPrinter::NativeFormat || !printer.isValid())
        return u"Принтер \"%1\" недоступен."_s.arg(printerName);
    printer.setDocName(u"Расчет калорийности"_s);
    PagePrinting::prepare(printer);
    if (!PagePrinting::play(printer, page) || printer.printerState() == QPrinter::Error)
        return u"Ошибка печати на принтере \"%1\". Страница не напечатана."_s.arg(printerName);
    return QString();
}
