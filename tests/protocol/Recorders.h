#pragma once

#include "protocol/ReplyTarget.h"
#include "protocol/ServerLink.h"

#include <QString>
#include <QStringList>

#include <functional>

// Records, in one ordered list, what the dispatcher asked of the payload
// owners and of the connection: "form_Bases_Bl:<payload>", "status:<line>"...
struct CallLog
{
    QStringList calls;
};

class RecordingTarget final : public ReplyTarget
{
public:
    explicit RecordingTarget(CallLog& log) : m_log(log) {}

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

    // Runs after a call is recorded (to open a nested event loop, throw...).
    std::function<void(const QString& call)> onCall;

private:
    void record(const QString& call)
    {
        m_log.calls << call;
        if (onCall)
            onCall(call);
    }

    CallLog& m_log;
};

class RecordingLink final : public ServerLink
{
public:
    explicit RecordingLink(CallLog& log) : m_log(log) {}

    void SendCommand(const QString& command) override { m_log.calls << QStringLiteral("send:") + command; }
    void AddStatus(const QString& line) override { m_log.calls << QStringLiteral("status:") + line; }

private:
    CallLog& m_log;
};
