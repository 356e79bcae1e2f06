#include "FakePrinters.h"

#include <QPicture>

QString FakePrinters::printPage(const QPicture& page, const QString& printerName)
{
    if (!nextError.isEmpty())
        return nextError;
    jobs << Job{printerName, page.boundingRect().size()};
    return QString();
}
