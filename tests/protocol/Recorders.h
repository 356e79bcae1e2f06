#pragma once

#include "protocol/ReplyTarget.h"
#include "protocol/ServerLink.h"

#include <QStringList>

#include <functional>

// Records, in one ordered list, what the dispatcher asked of the payload
// owners and of the connection: "form_Bases_Bl:<payload>", "status:<line>"...
class Recorder final : public ReplyTarget, public ServerLink
{
public:
    void form_Bases_Bl(const QString& payload) override
    {
        record(QStringLiteral("form_Bases_Bl:") + payload);
    }
    void form_Dishes_Bl(const QString& payload) override
    {
        record(QStringLiteral("form_Dishes_Bl:") + payload);
    }
    void receiveComposition(const QString& payload) override
    {
        record(QStringLiteral("receiveComposition:") + payload);
    }
    void receiveNorm(const QString& payload) override { record(QStringLiteral("receiveNorm:") + payload); }
    void SendCommand(const QString& command) override { calls << QStringLiteral("send:") + command; }
    void AddStatus(const QString& line) override { calls << QStringLiteral("status:") + line; }

    QStringList calls;
    // Runs after a payload is recorded (to open a nested event loop, throw...).
    std::function<void(const QString& call)> onCall;

private:
    void record(const QString& call)
    {
        calls << call;
        if (onCall)
            onCall(call);
    }
};
