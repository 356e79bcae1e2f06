#pragma once

#include "protocol/ReplyTarget.h"
#include "protocol/ServerLink.h"

#include <QStringList>

#include <functional>
#include <utility>

// A connection that goes nowhere and an owner of replies that keeps them: the
// requests in `sent`, the status lines in `status`, and everything in order in
// `calls` as "send:<request>", "status:<line>" and "form_Bases_Bl:<payload>"...
class RecordingLink final : public ReplyTarget, public ServerLink
{
public:
    void SendCommand(const QString& command) override
    {
        sent << command;
        calls << QStringLiteral("send:") + command;
    }
    void AddStatus(const QString& line) override
    {
        status << line;
        calls << QStringLiteral("status:") + line;
    }
    void form_Bases_Bl(const QString& p) override { record(QStringLiteral("form_Bases_Bl:") + p); }
    void form_Dishes_Bl(const QString& p) override { record(QStringLiteral("form_Dishes_Bl:") + p); }
    void receiveComposition(const QString& p) override { record(QStringLiteral("receiveComposition:") + p); }
    void receiveNorm(const QString& p) override { record(QStringLiteral("receiveNorm:") + p); }
    void noNormTable() override { record(QStringLiteral("noNormTable")); }

    // The requests sent since the last take.
    QStringList take() { return std::exchange(sent, {}); }

    QStringList sent;
    QStringList status;
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
