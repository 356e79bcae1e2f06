#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

// The main window: the program's start-up object and its settings window
// (server address and port, connect and disconnect, the status log, the
// font size of the fitness window). Closing it, once confirmed, ends the
// whole program; minimising it hides it behind the tray icon.
class fFeat final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(fFeat)

public:
    explicit fFeat(QWidget* parent = nullptr);
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
    bool Form_QueryUnload();

    // Sends the text of tCom unchanged.
    void cSend_Click();

    // When true, closing the window asks for confirmation. Set at the end of
    // Form_Load; the fitness window clears it once the user has already
    // confirmed ending the whole program there.
    bool bUnLoadQues = false;

    // How the program ends once closing is confirmed. The default leaves every
    // event loop at once (QCoreApplication::exit), so no other window's
    // closing step runs; tests put a recorder here.
    void setEndProgramHandler(std::function<void()> handler);

    // Whether the desktop has a notification area to hide into. Minimising
    // hides the window only then, or it could never be brought back.
    void setNotificationAreaCheck(std::function<bool()> check);

    // The window's controls, named as designed. Owned by the window.
    QLabel* Label1;
    QLineEdit* tIP;
    QLabel* Label2;
    QLineEdit* tPort;
    QPushButton* cLocal;
    QPushButton* cCon;
    QPushButton* cDisCon;
    QLabel* lSend;
    QPlainTextEdit* tCom;
    QPushButton* cSend;
    QPlainTextEdit* lStatus;
    QLabel* lFont;
    QLineEdit* tFont;
    QLabel* Label3;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createControls();
    void layOut();
    void tFont_Change(const QString& text);
    void Form_Resize();

    std::function<void()> m_endProgram;
    std::function<bool()> m_notificationAreaExists;
    bool m_fillingFont = false;
};
