#pragma once

#include <QObject>

#include <memory>

// SIGTERM and SIGINT (a service manager stopping the program, a desktop
// logout, Ctrl+C) turned into a signal of the event loop, so the program ends
// through its own orderly path instead of the default action, which kills it
// on the spot. One instance per process; without POSIX signals (Windows) it
// never fires.
class StopSignals final : public QObject
{
    Q_OBJECT

public:
    explicit StopSignals(QObject* parent = nullptr);
    ~StopSignals() override;
    Q_DISABLE_COPY_MOVE(StopSignals)

signals:
    // Once per signal received, on the thread that owns this object.
    void stopRequested(int signalNumber);

private:
    struct Pipe;
    std::unique_ptr<Pipe> m_pipe;
};
