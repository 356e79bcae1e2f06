#pragma once

#include "protocol/ReplyTarget.h"
#include "protocol/ServerLink.h"

#include <QStringList>

#include <functional>

// What the dispatcher asked of payload owners and connection, in order: "status:<line>"...
class Recorder final : public ReplyTarget, public ServerLink
{
public:
    void form_Bases_Bl(const QString& p) override { record(QStringLiteral("form_Bases_Bl:") + p); }
    void form_Dishes_Bl(const QString& p) override { record(QStringLiteral("form_Dishes_Bl:") + p); }
    void receiveComposition(const QString& p) override { record(QStringLiteral("receiveComposition:") + p); }
    void receiveNorm(const QString& p) override { record(QStringLiteral("receiveNorm:") + p); }
    void noNormTable() override { record(QStringLiteral("noNormTable")); }
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
