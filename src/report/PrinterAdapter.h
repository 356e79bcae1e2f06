#pragma once

#include <QString>
#include <QStringList>

class QPicture;

// The printers as the preview window sees them. The real one asks the
// platform (SystemPrinters); a test may put its own in place.
class PrinterAdapter
{
public:
    virtual ~PrinterAdapter() = default;

    // Device names of the installed printers, in the platform's order.
    virtual QStringList printerNames() const = 0;
    // The system's default printer; empty when there is none.
    virtual QString defaultPrinterName() const = 0;
    // Prints `page` (a record of 774 x 1127 pixels at 96 dpi) as one A4 page,
    // one copy, its top-left corner at the paper's. Returns an empty text on
    // success, otherwise a message for the user.
    virtual QString printPage(const QPicture& page, const QString& printerName) = 0;

    // The adapter in use: the one set by setCurrent(), or the system's.
    static PrinterAdapter& current();
    // nullptr restores the system's. Not owned.
    static void setCurrent(PrinterAdapter* adapter);
};
