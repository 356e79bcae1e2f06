#pragma once

#include "ServerLink.h"

#include <QStringList>

// A ServerLink that keeps what the windows send and log, for the window tests
// that need no socket.
class RecordingLink final : public ServerLink
{
public:
    void SendCommand(const QString& command) override { sent << command; }
    void AddStatus(const QString& line) override { status << line; }

    // What was sent since the last call, and forget it.
    QStringList takeSent()
    {
        QStringList taken = sent;
        sent.clear();
        return taken;
    }

    QStringList sent;
    QStringList status;
};
