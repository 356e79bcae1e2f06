#pragma once

#include <QtGlobal>

// What one client may cost the server. A request is a few hundred bytes and
// a reply a few kilobytes, so the bounds are far from anything a real client
// reaches, and they keep a faulty or hostile one from exhausting memory.
struct ServerLimits
{
    // Bytes held from a client without a terminator before it is dropped.
    qsizetype maxRequestBytes = 64 * 1024;
    // Reply bytes queued for a client that does not read them before it is
    // dropped (no reply is longer than 2 KiB).
    qsizetype maxQueuedReplyBytes = 4 * 1024 * 1024;
    // Connections served at once; more are closed as they arrive.
    int maxClients = 1000;
    // Connections served at once from one client address: one machine
    // opening connections by the hundred cannot take every place.
    int maxPerAddress = 50;
    // A client that has sent no complete request for this long is dropped,
    // so connections that only sit there (or trickle a request byte by byte)
    // do not hold their places for ever.
    int idleTimeoutMs = 60 * 1000;
};
