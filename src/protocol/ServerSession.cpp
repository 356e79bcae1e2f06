#include "ServerSession.h"

#include "ClientSocket.h"
#include "Dialogs.h"
#include "ErrorBox.h"
#include "ProtocolWords.h"
#include "ServerCommands.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <exception>

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
    return QStringLiteral("Потеряно подключение к серверу") + u'\r' +
           QStringLiteral("повторите попытку подключения") + u'\r' + QStringLiteral("Возможно сервер занят");
}

QString ServerSession::overflowText(qsizetype maxPendingBytes)
{
    constexpr qsizetype mebibyte = 1024 * 1024;
    const QString amount = maxPendingBytes % mebibyte == 0
                               ? QStringLiteral("%1 МБ").arg(maxPendingBytes / mebibyte)
                               : QStringLiteral("%1 байт").arg(maxPendingBytes);
    return QStringLiteral("Сервер прислал больше %1 текста без признака конца сообщения.").arg(amount) +
           u'\r' + QStringLiteral("Соединение с сервером разорвано, принятый остаток отброшен.") + u'\r' +
           QStringLiteral("Подключитесь повторно.");
}

void ServerSession::SendCommand(const QString& command)
{
    try {
        m_socket->SendData(command + Proto::Terminator);
    } catch (const SocketError& error) {
        if (error.number == SocketError::kInvalidState) {
            Dialogs::message(notConnectedText(), Dialogs::Buttons::Ok, Dialogs::Icon::None);
        } else {
            Show_Error(QStringLiteral("Ошибка отправки запроса!") + u'\r' + error.description,
                       QStringLiteral("Dish_Cli"), QStringLiteral("SendCommand"), error.number);
        }
    }
}

void ServerSession::AddStatus(const QString& line)
{
    m_log.AddStatus(line);
}

void ServerSession::clearBuffer()
{
    m_splitter.clear();
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
        if (slice.hasExpired(kSliceMs)) {
            // The rest stays in the buffer, taken in order by the next pass.
            QTimer::singleShot(0, this, &ServerSession::handOverPending);
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
        Show_Error(QString::fromLocal8Bit(error.what()), QStringLiteral("Dish_Cli"),
                   QStringLiteral("ParseServerCommand"), 0);
    } catch (...) {
        Show_Error(QStringLiteral("Неизвестная ошибка при разборе ответа сервера"),
                   QStringLiteral("Dish_Cli"), QStringLiteral("ParseServerCommand"), 0);
    }
}

void ServerSession::dropFlood()
{
    m_socket->Close();
    m_splitter.clear();
    emit connectionDropped();
    Dialogs::message(overflowText(m_maxPendingBytes), Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}
