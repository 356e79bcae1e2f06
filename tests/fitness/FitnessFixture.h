#pragma once

#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "protocol/ServerLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QStringList>

#include <utility>

// Борщ of 200 g, and a norm table of two activity groups, the first with two ages.
inline const QString kBorshch = QStringLiteral("10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200");
inline const QString kNorms =
    QStringLiteral("x<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>x<Sc>I<Sc>1,4<Sc>30-39<Sc>2300<Str>"
                   "x<Sc>II<Sc>1,6<Sc>18-29<Sc>2800");

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
