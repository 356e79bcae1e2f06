#pragma once

#include "protocol/SocketError.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The event-driven TCP client the main window holds as `wC`: operations
// return at once and outcomes arrive as signals, on the UI thread.
// Operations that fail throw SocketError; Close() never raises an event.
class ClientSocket : public QObject
{
    Q_OBJECT

public:
    // What State() reports; 0 means closed, anything else counts as open.
    enum StateNumber : int
    {
        sckClosed = 0,
        sckOpen = 1,
        sckListening = 2,
        sckConnectionPending = 3,
        sckResolvingHost = 4,
        sckHostResolved = 5,
        sckConnecting = 6,
        sckConnected = 7,
        sckClosing = 8, // the peer closed; stays so until Close()
        sckError = 9,   // an error was raised; stays so until Close() or Connect()
    };

    using QObject::QObject;
    ~ClientSocket() override = default;

    // Starts connecting and returns at once. An empty host or a port text
    // that is not a whole number from 1 to 65535 throws SocketError
    // (kInvalidArgument) without any attempt. A socket still open is closed first.
    virtual void Connect(const QString& host, const QString& portText) = 0;
    // Drops the connection, or resets the socket after a failure. No event.
    virtual void Close() = 0;
    // Converts to Windows-1251 and queues the bytes. Throws SocketError
    // (kInvalidState) when not connected.
    virtual void SendData(const QString& text) = 0;
    // Everything received and not yet read, as bytes off the wire.
    virtual QByteArray GetData() = 0;
    // GetData() decoded from Windows-1251.
    QString GetText();
    virtual int State() const = 0;
    // This computer's own IP address as text.
    virtual QString LocalIP() const = 0;

signals:
    void Connected();
    // The peer closed the connection (raised once; never also an Error).
    void Closed();
    // Data can be read with GetData().
    void DataArrival();
    // A handler sets *cancelDisplay to true to keep the socket from
    // reporting the error itself.
    void Error(int number, const QString& description, bool* cancelDisplay);

private:
    Q_DISABLE_COPY_MOVE(ClientSocket)
};
