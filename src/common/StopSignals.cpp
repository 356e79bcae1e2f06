#include "common/StopSignals.h"

#ifdef Q_OS_UNIX

#include <QSocketNotifier>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <iterator>

namespace {

// Written by the handler, the only thing it may touch: a signal handler can
// call no Qt and no allocator, so it passes the number down a pipe the event
// loop watches.
volatile sig_atomic_t g_writeEnd = -1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a stop request; losing this one changes nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    errno = savedErrno;
}

constexpr int kSignals[] = {SIGTERM, SIGINT};

} // namespace

struct StopSignals::Pipe
{
    int fds[2] = {-1, -1};
    std::unique_ptr<QSocketNotifier> notifier;
    struct sigaction previous[std::size(kSignals)] = {};
};

StopSignals::StopSignals(QObject* parent) : QObject(parent), m_pipe(std::make_unique<Pipe>())
{
    if (::pipe2(m_pipe->fds, O_CLOEXEC | O_NONBLOCK) != 0)
        qFatal("StopSignals: no pipe for signals: %s", strerror(errno));
    g_writeEnd = m_pipe->fds[1];
    m_pipe->notifier = std::make_unique<QSocketNotifier>(m_pipe->fds[0], QSocketNotifier::Read);
    connect(m_pipe->notifier.get(), &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(m_pipe->fds[0], &byte, 1) == 1)
            emit stopRequested(byte);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // Restarted, so that a signal arriving during a blocking call of the
    // toolkit does not fail that call.
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &m_pipe->previous[i]);
}

StopSignals::~StopSignals()
{
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &m_pipe->previous[i], nullptr);
    g_writeEnd = -1;
    m_pipe->notifier.reset();
    ::close(m_pipe->fds[0]);
    ::close(m_pipe->fds[1]);
}

#else

struct StopSignals::Pipe
{
};

StopSignals::StopSignals(QObject* parent) : QObject(parent) {}

StopSignals::~StopSignals() = default;

#endif
