#include "report/SystemPrinters.h"

#include "report/PagePrinting.h"

#include <QPrinter>
#include <QPrinterInfo>

#ifdef QUORVEL_HAVE_CUPS
#include <cups/cups.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Why the scheduler did not take the job just printed on this thread; empty
// when it did. Qt sends the finished page to CUPS (cupsPrintFile) and drops
// the answer, but libcups keeps the last one for the thread.
QString schedulerRefusal()
{
#ifdef QUORVEL_HAVE_CUPS
    if (cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE)
        return QString::fromUtf8(cupsLastErrorString());
#endif
    return QString();
}

} // namespace

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
    // A stopped queue (CUPS printer-state 5) still takes the job and holds it.
    const bool stopped = info.state() == QPrinter::Error;
    printer.setDocName(u"Расчет калорийности"_s);
    PagePrinting::prepare(printer);
    if (!PagePrinting::play(printer, page) || printer.printerState() == QPrinter::Error)
        return u"Ошибка печати на принтере \"%1\". Страница не напечатана."_s.arg(printerName);
    if (const QString why = schedulerRefusal(); !why.isEmpty())
        return u"Принтер \"%1\" не принял страницу, она не напечатана.\r%2"_s.arg(printerName, why);
    if (stopped)
        return u"Принтер \"%1\" остановлен. Страница ждет в его очереди и будет напечатана, когда его запустят."_s
            .arg(printerName);
    return QString();
}
