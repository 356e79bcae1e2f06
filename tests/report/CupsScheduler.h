#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// A private CUPS scheduler for one test run: its own configuration in a
// temporary folder, listening on 127.0.0.1 only, with queues that write the
// documents they receive to files. No system service is involved. Every wait
// is bounded; when the scheduler cannot be had, the calls say why.
class CupsScheduler final
{
public:
    CupsScheduler();
    ~CupsScheduler();
    Q_DISABLE_COPY_MOVE(CupsScheduler)

    // Picks a free port for the scheduler. Call it before the application
    // object exists and put server() in CUPS_SERVER: Qt's printing reads it.
    bool reservePort(QString* why);
    QString server() const;

    // Starts cupsd on the reserved port and waits until it answers.
    bool start(QString* why);

    // A queue writing each job to outputFile(name), through a PPD that
    // keeps the job a PDF. The first queue becomes the scheduler's default.
    bool addQueue(const QString& name, QString* why);
    bool removeQueue(const QString& name, QString* why);
    QString outputFile(const QString& name) const;

    // Waits until the scheduler has no unfinished job and the queue's output
    // file exists, and the file stops growing.
    bool waitForOutput(const QString& name, QString* why, int timeoutMs = 30000);

    // The tail of the scheduler's error log, for failure messages.
    QString logTail() const;

private:
    bool runTool(const QString& program, const QStringList& arguments, QString* why,
                 QByteArray* out = nullptr);

    QTemporaryDir m_dir;
    QProcess m_cupsd;
    quint16 m_port = 0;
    bool m_hasDefault = false;
};
