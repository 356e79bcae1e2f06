#include "report/FakeReportSource.h"
#include "report/fPreView.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace Qt::StringLiterals;

// Real output, read back with poppler: printed through the preview on a
// private CUPS scheduler (CUPS_SERVER, set before Qt starts, keeps the
// machine's printers out of reach) and saved through the PDF button.
namespace {

const QString kQueue = u"Quorvel_Test"_s;

// Runs a tool to its end: an empty text, or why it failed.
QString run(const QString& program, const QStringList& arguments, QByteArray* output = nullptr)
{
    QProcess tool;
    tool.start(program, arguments);
    const bool ok =
        tool.waitForFinished(20000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
    if (output)
        *output = tool.readAllStandardOutput();
    return ok ? QString()
              : program + u": "_s + tool.errorString() + QString::fromLocal8Bit(tool.readAllStandardError());
}

// One A4 page at 96 px to the inch from the paper's corner: the title at
// (300, 70) px is at (225, 52,5) pt.
void verifyPage(const QString& pdf)
{
    QByteArray words;
    QCOMPARE(run(u"pdftotext"_s, {u"-bbox"_s, pdf, u"-"_s}, &words), QString());
    QCOMPARE(words.count("<page "), 1);
    const auto title = QRegularExpression(u"<page width=\"59[56]\\.\\d+\" height=\"84[12]\\.\\d+\">[\\s\\S]*"
                                          u"xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>Расчет<"_s)
                           .match(QString::fromUtf8(words));
    QVERIFY2(qAbs(title.captured(1).toDouble() - 225) < 0.3 &&
                 qAbs(title.captured(2).toDouble() - 52.5) < 0.3,
             words.constData());
}

} // namespace

class TestPrinting : public QObject
{
    Q_OBJECT

public:
    explicit TestPrinting(quint16 port) : m_server(u"127.0.0.1:%1"_s.arg(port)), m_port(port) {}
    bool printingSkipped() const { return !m_noScheduler.isEmpty(); }

private slots:
    void initTestCase()
    {
        m_source.dishes << FakeReportSource::Dish{u"Борщ"_s, u"250"_s, 4.5, 6.25, 10.1, 3};
        // Some sandboxes forbid a scheduler even as an ordinary process; only printing needs it.
        m_noScheduler = startScheduler();
    }
    void cleanupTestCase()
    {
        m_cupsd.terminate();
        m_cupsd.waitForFinished(5000);
    }

    void printButtonSendsOneA4Page()
    {
        if (!m_noScheduler.isEmpty())
            QSKIP(qPrintable(u"no private CUPS scheduler: "_s + m_noScheduler));
        ScriptedDialogs dialogs;
        fPreView w(m_source);
        w.show();
        auto* print = w.findChild<QPushButton*>(u"cmdPrint"_s);
        QCOMPARE(print->toolTip(), kQueue); // the scheduler's default, from the platform
        QTest::mouseClick(print, Qt::LeftButton);
        const auto printed = [this] {
            QByteArray jobs;
            return lp(u"lpstat"_s, {u"-o"_s}, &jobs).isEmpty() && jobs.trimmed().isEmpty() &&
                   QFileInfo(output()).size() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT(printed(), 30000);
        verifyPage(output());

        // A queue that rejects jobs is told and keeps none; a stopped one is told and holds the page.
        QVERIFY(QFile::remove(output()));
        QCOMPARE(lp(u"cupsreject"_s, {kQueue}) + lp(u"cupsdisable"_s, {kQueue}), QString());
        dialogs.expectBox();
        dialogs.expectBox();
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(lp(u"cupsaccept"_s, {kQueue}), QString());
        QTest::mouseClick(print, Qt::LeftButton);
        const QStringList told = dialogs.boxTexts();
        QVERIFY2(told.value(0).startsWith(u"Принтер \"Quorvel_Test\" не принял страницу"_s) &&
                     told.value(1).startsWith(u"Принтер \"Quorvel_Test\" остановлен."_s),
                 qPrintable(told.join(u'|')));
        QCOMPARE(lp(u"cupsenable"_s, {kQueue}), QString());
        QTRY_VERIFY_WITH_TIMEOUT(printed(), 30000);
        dialogs.clear();

        // A printer gone since the preview opened is reported, not printed to.
        QCOMPARE(lp(u"lpadmin"_s, {u"-x"_s, kQueue}), QString());
        dialogs.expectBox();
        QTest::mouseClick(print, Qt::LeftButton);
        QCOMPARE(dialogs.boxTexts(),
                 QStringList{u"Принтер не найден. Установите принтер и откройте просмотр снова."_s});
    }

    // Saved without a suffix, ".pdf" is added; a folder that does not exist is told.
    void pdfButtonSavesThePage()
    {
        QTemporaryDir dir;
        QVERIFY(QDir::setCurrent(dir.path())); // a file with a relative name would land here too
        ScriptedDialogs dialogs;
        dialogs.expectSaveFile(dir.filePath(u"Расчет"_s));
        dialogs.expectSaveFile(dir.filePath(u"нет/отчет.pdf"_s));
        dialogs.expectBox();
        fPreView w(m_source);
        auto* pdf = w.findChild<QPushButton*>(u"cmdPdf"_s);
        QTest::mouseClick(pdf, Qt::LeftButton);
        QTest::mouseClick(pdf, Qt::LeftButton);
        QCOMPARE(dialogs.boxTexts(), QStringList{u"Не удалось сохранить файл\r%1\rНет папки %2."_s.arg(
                                         dir.filePath(u"нет/отчет.pdf"_s), dir.filePath(u"нет"_s))});
        QCOMPARE(QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList{u"Расчет.pdf"_s});
        verifyPage(dir.filePath(u"Расчет.pdf"_s));
    }

private:
    QString output() const { return m_dir.filePath(u"out/page.pdf"_s); }

    QString lp(const QString& tool, const QStringList& arguments, QByteArray* output = nullptr)
    {
        return run(tool, QStringList{u"-h"_s, m_server} + arguments, output);
    }

    // cupsd on 127.0.0.1 with one default queue keeping each job, a PDF, as
    // output(). An empty text when it runs, otherwise why not.
    QString startScheduler()
    {
        const QString ppd = u"/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"_s;
        const QString root = m_dir.path();
        for (const char* sub : {"spool/tmp", "cache", "state", "log", "out"})
            QDir(root).mkpath(QString::fromLatin1(sub));
        // As root cupsd runs filters as "lp", who must reach the spool and write the output.
        QFile::setPermissions(root, QFile::Permissions(0x7755));
        QFile::setPermissions(root + u"/out"_s, QFile::Permissions(0x7777));
        const auto write = [&root](const QString& name, const QString& text) {
            QFile file(root + name);
            if (file.open(QIODevice::WriteOnly)) // else cupsd tells what is missing
                file.write(text.toUtf8());
        };
        const QString ids =
            geteuid() == 0 ? u"lp\nGroup lp"_s : u"%1\nGroup %2"_s.arg(geteuid()).arg(getegid());
        write(u"/cupsd.conf"_s,
              u"Listen 127.0.0.1:%1\nBrowsing No\nWebInterface No\nDefaultAuthType None\n"
              u"<Location />\nOrder allow,deny\nAllow from 127.0.0.1\n</Location>\n"
              u"<Policy default>\n<Limit All>\nOrder deny,allow\n</Limit>\n</Policy>\n"_s.arg(m_port));
        write(u"/cups-files.conf"_s,
              u"ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/spool/tmp\nCacheDir %1/cache\n"
              u"StateDir %1/state\nErrorLog stderr\nAccessLog %1/log/access\nPageLog %1/log/page\n"
              u"Printcap /dev/null\nFileDevice Yes\nUser %2\n"_s.arg(root, ids));
        m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
        m_cupsd.start(u"/usr/sbin/cupsd"_s,
                      {u"-f"_s, u"-c"_s, root + u"/cupsd.conf"_s, u"-s"_s, root + u"/cups-files.conf"_s});
        // lpadmin fails until it listens.
        const QStringList queue{u"-p"_s, kQueue, u"-E"_s, u"-v"_s, u"file://"_s + output(), u"-P"_s, ppd};
        for (QDeadlineTimer deadline(15000);
             m_cupsd.state() != QProcess::NotRunning && !deadline.hasExpired();) {
            if (lp(u"lpadmin"_s, queue).isEmpty())
                return lp(u"lpadmin"_s, {u"-d"_s, kQueue});
            m_cupsd.waitForFinished(200);
        }
        return u"cupsd did not answer: "_s + QString::fromLocal8Bit(m_cupsd.readAll());
    }

    QString m_server;
    quint16 m_port;
    QString m_noScheduler; // why no private scheduler runs; empty when it does
    QTemporaryDir m_dir;
    QProcess m_cupsd;
    TempSettings m_settings;
    FakeReportSource m_source;
};

int main(int argc, char** argv)
{
    QTcpServer probe; // a free port for the scheduler, released before it starts
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    // Never the machine's own scheduler, even without a private one.
    qputenv("CUPS_SERVER", QByteArray("127.0.0.1:") + QByteArray::number(port ? port : 1));
    QApplication app(argc, argv);
    TestPrinting test(port);
    const int failed = QTest::qExec(&test, argc, argv);
    return failed == 0 && test.printingSkipped() ? 77 : failed;
}

#include "TestPrinting.moc"
