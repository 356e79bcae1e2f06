#pragma once

#include "PrinterAdapter.h"

#include <QSize>

// Printers that exist only for a test: a list, a default, and a record of
// every page sent, with an error to answer when one is set. While it lives it
// is the adapter the preview uses.
class FakePrinters final : public PrinterAdapter
{
public:
    FakePrinters() { setCurrent(this); }
    ~FakePrinters() override { setCurrent(nullptr); }
    Q_DISABLE_COPY_MOVE(FakePrinters)

    struct Job
    {
        QString printer;
        QSize pageSize;
    };

    QStringList names;
    QString defaultName;
    QString nextError;
    QList<Job> jobs;

    QStringList printerNames() const override { return names; }
    QString defaultPrinterName() const override { return defaultName; }
    QString printPage(const QPicture& page, const QString& printerName) override;
};
