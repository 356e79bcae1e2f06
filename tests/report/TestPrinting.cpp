#include "CupsScheduler.h"
#include "FakeReportSource.h"
#include "PdfProbe.h"
#include "ScriptedDialogs.h"
#include "SystemPrinters.h"
#include "TempSettings.h"
#include "fPreView.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Real output: a page printed through the preview's button on a private CUPS
// scheduler, and the page saved through its PDF button, both read back.
// Nothing here reaches the machine's own printers: CUPS_SERVER points every
// CUPS call of this process at the private scheduler before Qt starts.
namespace {

const QString kQueue = u"Quorvel_Test"_qs;

// A4 in points; CUPS and Qt round the millimetres slightly differently.
bool isA4(const QSizeF& size)
{
    return qAbs(size.width() - 595.3) < 1.5 && qAbs(size.height() - 841.9) < 1.5;
}

FakeReportSource ration()
{
    FakeReportSource source;
    source.dishes << FakeReportSource::dish(u"Борщ украинский"_qs, u"250"_qs, 4.5, 6.25, 10.1, 3)
                  << FakeReportSource::dish(u"Котлета рубленая из говядины с гарниром"_qs, u"150/50"_qs, 15,
                                            12, 20, 5);
    return source;
}

QStringList wordTexts(const PdfProbe& pdf)
{
    QStringList texts;
    for (const auto& word : pdf.words())
        texts << word.text;
    return texts;
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

public:
    TestPrinting(CupsScheduler& scheduler, QString notReserved)
        : m_scheduler(scheduler), m_notReserved(std::move(notReserved))
    {
    }

private slots:
    void initTestCase()
    {
        if (!m_notReserved.isEmpty())
            QSKIP(qPrintable(u"no private CUPS scheduler: "_qs + m_notReserved));
        if (!PdfProbe::toolsAvailable())
            QSKIP("pdfinfo / pdftotext are not installed (package poppler-utils)");
        QString why;
        if (!m_scheduler.start(&why))
            QSKIP(qPrintable(u"the private CUPS scheduler could not be started: "_qs + why));
        if (!m_scheduler.addQueue(kQueue, &why))
            QSKIP(qPrintable(u"the private CUPS scheduler took no queue: "_qs + why));
    }

    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
    }
    void cleanup()
    {
        QCOMPARE(m_dialogs->pending(), 0);
        m_dialogs.reset();
        m_settings.reset();
    }

    void listsTheSchedulersPrinter()
    {
        const auto source = ration();
        fPreView window(source);
        auto* list = window.findChild<QComboBox*>(u"cPrinters"_qs);
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->currentText(), kQueue);
        QCOMPARE(SystemPrinters().defaultPrinterName(), kQueue);
        QCOMPARE(window.findChild<QPushButton*>(u"cmdPrint"_qs)->toolTip(), kQueue);
    }

    void printButtonSendsOneA4Page()
    {
        const auto source = ration();
        fPreView window(source);
        window.show();
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdPrint"_qs), Qt::LeftButton);
        QString why;
        QVERIFY2(m_scheduler.waitForOutput(kQueue, &why), qPrintable(why));
        const PdfProbe printed(m_scheduler.outputFile(kQueue));
        QVERIFY2(printed.ok(), qPrintable(printed.why()));
        QCOMPARE(printed.pages(), 1);
        QVERIFY2(isA4(printed.pageSize()),
                 qPrintable(u"%1 x %2"_qs.arg(printed.pageSize().width()).arg(printed.pageSize().height())));
        const QStringList words = wordTexts(printed);
        for (const auto& expected :
             {u"Расчет"_qs, u"калорийности"_qs, u"Борщ"_qs, u"Итого:"_qs, u"гарниром"_qs})
            QVERIFY2(words.contains(expected), qPrintable(expected));
        // The page keeps the preview's size: 96 pixels to the inch, at the
        // paper's corner. The title at (300, 70) px is at (225, 52,5) pt.
        const QRectF title = printed.boxOf(u"Расчет"_qs);
        QVERIFY2(qAbs(title.left() - 225) < 2 && qAbs(title.top() - 52.5) < 3,
                 qPrintable(u"title at %1, %2"_qs.arg(title.left()).arg(title.top())));
        QVERIFY(window.isVisible());
        m_printedWords = words;
    }

    void pdfButtonSavesTheSamePage()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(u"Расчет.pdf"_qs);
        const auto source = ration();
        fPreView window(source);
        window.show();
        m_dialogs->expectSaveFile(path);
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdPdf"_qs), Qt::LeftButton);
        const PdfProbe saved(path);
        QVERIFY2(saved.ok(), qPrintable(saved.why()));
        QCOMPARE(saved.pages(), 1);
        QVERIFY(isA4(saved.pageSize()));
        const QRectF title = saved.boxOf(u"Расчет"_qs);
        QVERIFY(qAbs(title.left() - 225) < 2 && qAbs(title.top() - 52.5) < 3);
        // The 8-point footer sits at its own place, not scaled twice: well
        // inside the page, left edge at 70 px = 52,5 pt.
        const QRectF footer = saved.boxOf(u"Отчет"_qs);
        QVERIFY(qAbs(footer.left() - 52.5) < 2);
        QVERIFY(footer.bottom() < 842);
        if (!m_printedWords.isEmpty())
            QCOMPARE(wordTexts(saved), m_printedWords);
    }

    void vanishedPrinterIsReported()
    {
        const auto source = ration();
        fPreView window(source);
        window.show();
        QCOMPARE(window.printerName(), kQueue);
        QString why;
        QVERIFY2(m_scheduler.removeQueue(kQueue, &why), qPrintable(why));
        QFile::remove(m_scheduler.outputFile(kQueue));
        m_dialogs->expectBox();
        QTest::mouseClick(window.findChild<QPushButton*>(u"cmdPrint"_qs), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxTexts(),
                 QStringList{u"Принтер не найден. Установите принтер и откройте просмотр снова."_qs});
        QVERIFY(window.isVisible());
        QVERIFY(!QFile::exists(m_scheduler.outputFile(kQueue)));
    }

    void noPrinterInstalled()
    {
        // Qt would quietly turn a QPrinter without a printer into a PDF
        // writer; the adapter must refuse instead.
        SystemPrinters printers;
        QVERIFY(printers.printerNames().isEmpty());
        QVERIFY(printers.defaultPrinterName().isEmpty());
        const auto source = ration();
        fPreView window(source);
        QCOMPARE(window.findChild<QComboBox*>(u"cPrinters"_qs)->count(), 0);
        QCOMPARE(window.findChild<QPushButton*>(u"cmdPrint"_qs)->toolTip(), u"Принтер не найден"_qs);
        QVERIFY(!printers.printPage(window.page(), QString()).isEmpty());
        QVERIFY(!printers.printPage(window.page(), kQueue).isEmpty());
    }

private:
    CupsScheduler& m_scheduler;
    QString m_notReserved;
    QStringList m_printedWords;
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

int main(int argc, char** argv)
{
    CupsScheduler scheduler;
    QString why;
    if (scheduler.reservePort(&why))
        qputenv("CUPS_SERVER", scheduler.server().toLatin1());
    else
        qputenv("CUPS_SERVER", "127.0.0.1:1"); // never the machine's own scheduler
    QApplication app(argc, argv);
    TestPrinting test(scheduler, why);
    return QTest::qExec(&test, argc, argv);
}

#include "TestPrinting.moc"
