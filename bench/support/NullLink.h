#pragma once

#include "protocol/ServerLink.h"

// A link to nowhere: the windows under measurement ask the server for
// things, and the benchmarks feed the replies themselves.
class NullLink final : public ServerLink
{
public:
    void SendCommand(const QString&) override {}
    void AddStatus(const QString&) override {}
};
