#include "CupsScheduler.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include <grp.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const QString kCupsd = u"/usr/sbin/cupsd"_qs;

// PPDs that pass a PDF job through as a PDF, in order of preference.
const QStringList kPdfPpds = {
    u"/usr/share/ppd/cupsfilters/Generic-PDF_Printer-PDF.ppd"_qs,
    u"/usr/share/cups/model/Generic-PDF_Printer-PDF.ppd"_qs,
};

bool writeFile(const QString& path, const QString& text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    return file.write(text.toUtf8()) >= 0;
}

// cupsd refuses to run its filters as root; as root, the filters run as the
// packaged "lp" account instead. As anyone else, they run as that user.
QString runUser()
{
    return geteuid() == 0 ? u"lp"_qs : QString::fromLocal8Bit(getpwuid(geteuid())->pw_name);
}

QString runGroup()
{
    if (geteuid() == 0)
        return u"lp"_qs;
    const group* g = getgrgid(getegid());
    return g ? QString::fromLocal8Bit(g->gr_name) : QString::number(getegid());
}

} // namespace

CupsScheduler::CupsScheduler() = default;

CupsScheduler::~CupsScheduler()
{
    if (m_cupsd.state() != QProcess::NotRunning) {
        m_cupsd.terminate();
        if (!m_cupsd.waitForFinished(5000)) {
            m_cupsd.kill();
            m_cupsd.waitForFinished(2000);
        }
    }
}

bool CupsScheduler::reservePort(QString* why)
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0)) {
        *why = u"no free port on 127.0.0.1: "_qs + probe.errorString();
        return false;
    }
    m_port = probe.serverPort();
    return true;
}

QString CupsScheduler::server() const
{
    return u"127.0.0.1:%1"_qs.arg(m_port);
}

QString CupsScheduler::outputFile(const QString& name) const
{
    return m_dir.filePath(u"out/"_qs + name + u".pdf"_qs);
}

bool CupsScheduler::start(QString* why)
{
    if (!QFileInfo(kCupsd).isExecutable()) {
        *why = kCupsd + u" is not installed (package cups-daemon)"_qs;
        return false;
    }
    if (!m_dir.isValid() || m_port == 0) {
        *why = u"no temporary folder or no port"_qs;
        return false;
    }
    const QString root = m_dir.path();
    for (const char* sub : {"spool", "spool/tmp", "cache", "state", "log", "ppd", "out"})
        QDir(root).mkpath(QString::fromLatin1(sub));
    // The filters may run as another account (see runUser): they must reach
    // the spool, and the file device must be able to write the output.
    const auto open = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther |
                      QFileDevice::ExeOther;
    QFile::setPermissions(root, open);
    QFile::setPermissions(root + u"/out"_qs, open | QFileDevice::WriteGroup | QFileDevice::WriteOther);

    const QString cupsdConf =
        u"Listen 127.0.0.1:%1\n"
        u"LogLevel info\n"
        u"Browsing No\n"
        u"WebInterface No\n"
        u"DefaultAuthType None\n"
        u"<Location />\n  Order allow,deny\n  Allow from 127.0.0.1\n</Location>\n"
        u"<Location /admin>\n  Order allow,deny\n  Allow from 127.0.0.1\n</Location>\n"
        u"<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n"_qs.arg(m_port);
    const QString filesConf = u"ServerRoot %1\n"
                              u"RequestRoot %1/spool\n"
                              u"TempDir %1/spool/tmp\n"
                              u"CacheDir %1/cache\n"
                              u"StateDir %1/state\n"
                              u"ErrorLog %1/log/error_log\n"
                              u"AccessLog %1/log/access_log\n"
                              u"PageLog %1/log/page_log\n"
                              u"Printcap /dev/null\n"
                              u"FileDevice Yes\n"
                              u"User %2\n"
                              u"Group %3\n"_qs.arg(root, runUser(), runGroup());
    if (!writeFile(root + u"/cupsd.conf"_qs, cupsdConf) ||
        !writeFile(root + u"/cups-files.conf"_qs, filesConf)) {
        *why = u"cannot write the scheduler's configuration"_qs;
        return false;
    }

    m_cupsd.setProcessChannelMode(QProcess::MergedChannels);
    m_cupsd.start(kCupsd,
                  {u"-f"_qs, u"-c"_qs, root + u"/cupsd.conf"_qs, u"-s"_qs, root + u"/cups-files.conf"_qs});
    if (!m_cupsd.waitForStarted(5000)) {
        *why = u"cupsd did not start: "_qs + m_cupsd.errorString();
        return false;
    }
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        // Waiting on the process, not sleeping, so that one that gives up at
        // once (a bad configuration, a port taken) is seen at once.
        if (m_cupsd.waitForFinished(100)) {
            *why = u"cupsd stopped at once: "_qs + QString::fromLocal8Bit(m_cupsd.readAll()) + logTail();
            return false;
        }
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, m_port);
        if (socket.waitForConnected(200))
            return true;
    }
    *why = u"cupsd did not answer on "_qs + server() + u" within 15 s"_qs + logTail();
    return false;
}

bool CupsScheduler::runTool(const QString& program, const QStringList& arguments, QString* why,
                            QByteArray* out)
{
    QProcess tool;
    tool.setProcessChannelMode(QProcess::MergedChannels);
    tool.start(program, arguments);
    if (!tool.waitForFinished(15000)) {
        tool.kill();
        tool.waitForFinished(2000);
        *why = program + u" did not finish: "_qs + tool.errorString();
        return false;
    }
    const QByteArray output = tool.readAll();
    if (out)
        *out = output;
    if (tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0) {
        *why = program + u" "_qs + arguments.join(u' ') + u": "_qs + QString::fromLocal8Bit(output);
        return false;
    }
    return true;
}

bool CupsScheduler::addQueue(const QString& name, QString* why)
{
    QString ppd;
    for (const QString& candidate : kPdfPpds)
        if (QFileInfo::exists(candidate)) {
            ppd = candidate;
            break;
        }
    if (ppd.isEmpty()) {
        *why = u"no PDF printer description found (package cups-filters)"_qs;
        return false;
    }
    const QString uri = QUrl::fromLocalFile(outputFile(name)).toString();
    if (!runTool(u"lpadmin"_qs, {u"-h"_qs, server(), u"-p"_qs, name, u"-E"_qs, u"-v"_qs, uri, u"-P"_qs, ppd},
                 why))
        return false;
    if (!m_hasDefault) {
        if (!runTool(u"lpadmin"_qs, {u"-h"_qs, server(), u"-d"_qs, name}, why))
            return false;
        m_hasDefault = true;
    }
    return true;
}

bool CupsScheduler::removeQueue(const QString& name, QString* why)
{
    return runTool(u"lpadmin"_qs, {u"-h"_qs, server(), u"-x"_qs, name}, why);
}

bool CupsScheduler::waitForOutput(const QString& name, QString* why, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    qint64 lastSize = -1;
    while (!deadline.hasExpired()) {
        QByteArray jobs;
        if (!runTool(u"lpstat"_qs, {u"-h"_qs, server(), u"-o"_qs}, why, &jobs))
            return false;
        const QFileInfo output(outputFile(name));
        if (jobs.trimmed().isEmpty() && output.exists() && output.size() > 0 && output.size() == lastSize)
            return true;
        lastSize = output.exists() ? output.size() : -1;
        QThread::msleep(200);
    }
    *why = u"no finished output for queue "_qs + name + u" within the time allowed"_qs + logTail();
    return false;
}

QString CupsScheduler::logTail() const
{
    QFile log(m_dir.filePath(u"log/error_log"_qs));
    if (!log.open(QIODevice::ReadOnly))
        return QString();
    const QByteArray all = log.readAll();
    return u"\n--- scheduler log ---\n"_qs + QString::fromLocal8Bit(all.right(3000));
}
