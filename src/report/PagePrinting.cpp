#include "report/PagePrinting.h"

#include <QDir>
#include <QFileInfo>
#include <QPageLayout>
#include <QPainter>
#include <QPicture>
#include <QPrinter>

using namespace Qt::StringLiterals;

namespace PagePrinting {

void prepare(QPrinter& printer)
{
    // Size and orientation in one layout: set one after the other, the
    // second call can re-derive the first from the printer's defaults.
    QPageLayout layout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter, QMarginsF(0, 0, 0, 0));
    layout.setMode(QPageLayout::FullPageMode);
    printer.setPageLayout(layout);
    printer.setFullPage(true);
    printer.setCopyCount(1);
}

bool play(QPrinter& printer, const QPicture& page)
{
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    painter.drawPicture(0, 0, page);
    return painter.end();
}

QString savePdf(const QPicture& page, const QString& fileName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setDocName(QFileInfo(fileName).completeBaseName());
    prepare(printer);
    if (!play(printer, page)) {
        QString text = u"Не удалось сохранить файл\r%1"_s.arg(QDir::toNativeSeparators(fileName));
        const QString folder = QFileInfo(fileName).absolutePath();
        if (!QDir(folder).exists())
            text += u"\rНет папки %1."_s.arg(QDir::toNativeSeparators(folder));
        return text;
    }
    return QString();
}

} // namespace PagePrinting
