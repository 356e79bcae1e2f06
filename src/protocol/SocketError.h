#pragma once

#include <QString>

// A failed socket operation, numbered as Windows Sockets numbers it: the
// program's messages are keyed on those numbers, whatever the platform.
struct SocketError
{
    int number = 0;
    QString description;

    static constexpr int kConnectionAborted = 10053; // an established connection aborted or reset
    static constexpr int kTimedOut = 10060;
    static constexpr int kConnectionRefused = 10061;
    static constexpr int kHostNotFound = 11001;
    // The operation is not allowed in the socket's current state (a send
    // while not connected).
    static constexpr int kInvalidState = 40006;
    // A host or port that cannot be used; raised at once by Connect.
    static constexpr int kInvalidArgument = 40014;
    // Errors without a Windows Sockets equivalent: this base plus the
    // toolkit's own error number (999 for its unknown error).
    static constexpr int kOtherBase = 41000;
};
