#include "protocol/ServerSession.h"

#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "protocol/ClientSocket.h"
#include "protocol/ProtocolWords.h"
#include "protocol/ServerCommands.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <exception>

using namespace Qt::StringLiterals;

ServerSession::ServerSession(ClientSocket* socket, QObject* parent, qsizetype maxPendingBytes)
    : QObject(parent), m_socket(socket), m_splitter(maxPendingBytes), m_maxPendingBytes(maxPendingBytes)
{
    if (!m_socket->parent())
        m_socket->setParent(this);
    connect(m_socket, &ClientSocket::DataArrival, this, &ServerSession::onDataArrival);
}

ServerSession::~ServerSession() = default;

QString ServerSession::notConnectedText()
{
    return u"Потеряно подключение к серверу"_s + u'\r' + u"повторите попытку подключения"_s + u'\r' +
           u"Возможно сервер занят"_s;
}

QString ServerSession::overflowText(qsizetype maxPendingBytes)
{
    constexpr qsizetype mebibyte = 1024 * 1024;
    const QString amount = maxPendingBytes % mebibyte == 0 ? u"%1 МБ"_s.arg(maxPendingBytes / mebibyte)
                                                           : u"%1 байт"_s.arg(maxPendingBytes);
    return u"Сервер прислал больше %1 текста без признака конца сообщения."_s.arg(amount) + u'\r' +
           u"Соединение с сервером разорвано, принятый остаток отброшен."_s + u'\r' +
           u"Подключитесь повторно."_s;
}

void ServerSession::SendCommand(const QString& command)
{
    try {
        m_socket->SendData(command + Proto::Terminator);
    } catch (const SocketError& error) {
        if (error.number == SocketError::kInvalidState) {
            Dialogs::message(notConnectedText(), Dialogs::Buttons::Ok, Dialogs::Icon::None);
        } else {
            Show_Error(u"Ошибка отправки запроса!"_s + u'\r' + error.description, u"Dish_Cli"_s,
                       u"SendCommand"_s, error.number);
        }
    }
}

void ServerSession::AddStatus(const QString& line)
{
    m_log.AddStatus(line);
}

void ServerSession::dropIncompleteMessage()
{
    m_splitter.dropIncomplete();
}

void ServerSession::pull()
{
    const QByteArray bytes = m_socket->GetData();
    if (!bytes.isEmpty())
        m_splitter.append(bytes);
}

void ServerSession::onDataArrival()
{
    pull();
    // A modal box opened by a handler further up the stack runs a nested
    // event loop; an arrival delivered there only buffers. The loop below
    // hands it on once that handler has returned, in order.
    if (m_handing)
        return;
    // A continuation already waiting takes this arrival in its turn; a pass
    // started here as well would run beside it, and every further arrival
    // would add one more, each turn of the event loop paying for them all.
    if (m_passQueued)
        return;
    handOverPending();
}

void ServerSession::handOverPending()
{
    if (m_handing)
        return; // inside a handler's nested loop: the pass further up goes on
    QPointer<ServerSession> alive(this);
    m_handing = true;
    // Lines of unknown messages reach the log box in one update per pass;
    // a known reply may open a box, so the log is brought up to date first.
    m_log.holdBox();
    QElapsedTimer slice;
    slice.start();
    for (;;) {
        if (slice.hasExpired(kSliceMs) || m_log.heldChars() >= kMaxHeldChars) {
            // The rest stays in the buffer, taken in order by the next pass.
            if (!m_passQueued) {
                m_passQueued = true;
                QTimer::singleShot(0, this, [this] {
                    m_passQueued = false;
                    handOverPending();
                });
            }
            break;
        }
        std::optional<QString> message = m_splitter.takeMessage();
        if (!message) {
            if (m_splitter.overflowed()) {
                m_log.releaseBox();
                dropFlood();
                if (!alive)
                    return;
            }
            break;
        }
        const bool unknown = isUnknownCommand(*message);
        if (!unknown)
            m_log.releaseBox();
        handOver(std::move(*message));
        if (!alive)
            return;
        if (!unknown)
            m_log.holdBox();
        // The toolkit does not announce data that came in while the handler
        // ran; without this read it would wait for the next arrival.
        pull();
    }
    m_log.releaseBox();
    m_handing = false;
}

void ServerSession::handOver(QString message)
{
    // An exception must not unwind through the event loop; report it the
    // way every other internal failure is reported, and go on with the next
    // message.
    try {
        ParseServerCommand(std::move(message), m_target, *this);
    } catch (const std::exception& error) {
        Show_Error(QString::fromLocal8Bit(error.what()), u"Dish_Cli"_s, u"ParseServerCommand"_s, 0);
    } catch (...) {
        Show_Error(u"Неизвестная ошибка при разборе ответа сервера"_s, u"Dish_Cli"_s, u"ParseServerCommand"_s,
                   0);
    }
}

void ServerSession::dropFlood()
{
    m_socket->Close();
    m_splitter.clear();
    emit connectionDropped();
    Dialogs::message(overflowText(m_maxPendingBytes), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
