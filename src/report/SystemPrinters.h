#pragma once

#include "report/PrinterAdapter.h"

// The platform's printers through QPrinterInfo and QPrinter.
class SystemPrinters final : public PrinterAdapter
{
public:
    SystemPrinters() = default;
    Q_DISABLE_COPY_MOVE(SystemPrinters)

    QStringList printerNames() const override;
    QString defaultPrinterName() const override;
    QString printPage(const QPicture& page, const QString& printerName) override;
};
