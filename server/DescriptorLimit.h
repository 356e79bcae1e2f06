#pragma once

#include <QtGlobal>

// The server holds one descriptor per client, so the system's limit on open
// descriptors is also a limit on clients.
namespace DescriptorLimit {

// Descriptors the server needs besides its clients: the standard streams,
// the database and its journal, the listening socket and the event loop's own.
inline constexpr qint64 kReserved = 32;

// Raises the soft limit to the hard one (the default soft limit of 1024 is
// below the default --max-clients with its reserve); returns the soft limit
// then in force, or -1 when it cannot be read.
qint64 raiseSoftLimit();

// The clients that `limit` descriptors allow at once (at least 0).
qint64 maxClients(qint64 limit);

} // namespace DescriptorLimit
