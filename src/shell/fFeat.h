#pragma once

#include "protocol/ClientSocket.h"
#include "shell/TrayCommands.h"
#include "shell/TrayHost.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>

class PlainTextStatusBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class ServerSession;

// The main window: the program's start-up object and its settings window
// (server address and port, connect and disconnect, the status log, the
// font size of the fitness window). It holds the connection to the server
// and the tray icon for the whole run. Closing it, once confirmed, ends the
// whole program; minimising it hides it behind the tray icon.
class fFeat final : public QWidget, public TrayHost
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fFeat)

public:
    // `socket` is the connection `wC` (a TcpClientSocket when null); `makeTray`
    // makes the tray object (the desktop's own when empty).
    explicit fFeat(std::unique_ptr<ClientSocket> socket = nullptr, TrayCommands::TrayFactory makeTray = {},
                   QWidget* parent = nullptr);
    ~fFeat() override;

    // Start-up, in this order: the tray icon, the font size, the first
    // connection attempt; then closing starts asking for confirmation.
    void Form_Load();

    // Fills tFont from the stored font size, 24 when that is not a number.
    void Show_Font();

    // The closing step, also run directly by the tray's "Выход". Asks
    // "Выходим. Уверены?" while bUnLoadQues is set; on Yes (or without the
    // question) removes the tray icon and ends the program at once. Returns
    // false when the user chose to stay.
    bool Form_QueryUnload() override;

    // Connect: drops whatever the socket holds, starts an attempt at tIP and
    // tPort and logs it. The outcome arrives as a socket event.
    void cCon_Click() override;
    // Disconnect: closes the socket and shows the not-connected state; no
    // event, no log line, no question.
    void cDisCon_Click() override;
    // Puts this computer's own IP address into tIP; does not connect.
    void cLocal_Click();
    // Sends the text of tCom unchanged.
    void cSend_Click();
    // The server named on the command line: an empty part leaves its box as it is.
    void setServerAddress(const QString& host, const QString& port);

    // Frames and sends one request through the session.
    void SendCommand(const QString& command) override;

    // When true, closing the window asks for confirmation. Set at the end of
    // Form_Load; the fitness window clears it once the user has already
    // confirmed ending the whole program there.
    bool bUnLoadQues = false;

    // The connection, the conversation over it (receive buffer, dispatch,
    // status log) and the tray commands; all live as long as the window.
    ClientSocket& wC() const;
    ServerSession& session() const;
    TrayCommands& trayCommands() const;

    // How the program ends once closing is confirmed. The default leaves every
    // event loop at once (QCoreApplication::exit), so no other window's
    // closing step runs; tests put a recorder here.
    void setEndProgramHandler(std::function<void()> handler);

    // Whether the desktop has a notification area to hide into (by default,
    // what the tray reports). Minimising hides the window only then, or it
    // could never be brought back.
    void setNotificationAreaCheck(std::function<bool()> check);

    // TrayHost.
    QWidget* trayOwnerWindow() override;
    QIcon windowIcon() const override;
    void showWindow() override;
    void setNormalState() override;
    void bringToFront() override;
    int socketState() const override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void layOut();
    void tFont_Change(const QString& text);
    void Form_Resize();
    void wC_Connect();
    void wC_Close();
    void wC_Error(int number, const QString& description, bool* cancelDisplay);
    // Both buttons and the tray items "Включить" and "Выключить" together.
    void showConnected(bool connected);

    ServerSession* m_session; // owns the socket; a child of this window
    std::unique_ptr<PlainTextStatusBox> m_statusBox;
    TrayCommands* m_tray; // a child of this window
    std::function<void()> m_endProgram;
    std::function<bool()> m_notificationAreaExists;
    bool m_fillingFont = false;
    // Where the window was when minimising hid it.
    std::optional<QPoint> m_hiddenAt;
    bool m_saveFailureReported = false;

    // The window's controls, named as designed (tests find them by these
    // names). Owned by the window.
    QLabel* Label1 = nullptr;
    QLineEdit* tIP = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* tPort = nullptr;
    QPushButton* cLocal = nullptr;
    QPushButton* cCon = nullptr;
    QPushButton* cDisCon = nullptr;
    QLabel* lSend = nullptr;
    QPlainTextEdit* tCom = nullptr;
    QPushButton* cSend = nullptr;
    QPlainTextEdit* lStatus = nullptr;
    QLabel* lFont = nullptr;
    QLineEdit* tFont = nullptr;
    QLabel* Label3 = nullptr;
};
