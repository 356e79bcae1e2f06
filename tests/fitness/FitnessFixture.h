#pragma once

#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "protocol/ServerLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QStringList>

#include <utility>

// The fitness side over a link that records what it is asked to send and log,
// with settings and message boxes of the test's own. One per test function.
class FitnessFixture final
{
public:
    class Link final : public ServerLink
    {
    public:
        void SendCommand(const QString& command) override { sent << command; }
        void AddStatus(const QString& line) override { status << line; }
        // What was sent since the last call.
        QStringList take() { return std::exchange(sent, {}); }

        QStringList sent;
        QStringList status;
    };

    // A control of the window, loading the window if it is not loaded.
    template <typename T = QWidget> T* control(const char* name)
    {
        return controller.energy().findChild<T*>(QString::fromLatin1(name));
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    Link link;
    FitnessController controller{link};
};
