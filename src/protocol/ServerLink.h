#pragma once

#include <QString>

// What a window needs of the connection: send a request, write a status line.
// The main window's server session implements it; tests record through it.
class ServerLink
{
public:
    virtual ~ServerLink() = default;
    // Frames `command` with the terminator and sends it; reports its own
    // failures in boxes and never throws to the caller.
    virtual void SendCommand(const QString& command) = 0;
    // Appends one line to the status log.
    virtual void AddStatus(const QString& line) = 0;
};
