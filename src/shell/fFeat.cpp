#include "shell/fFeat.h"

#include "common/AccessibleNames.h"
#include "common/DesignedControls.h"
#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "common/NumberHelpers.h"
#include "common/RussianFormat.h"
#include "common/Settings.h"
#include "common/TextSelection.h"
#include "common/Version.h"
#include "protocol/PlainTextStatusBox.h"
#include "protocol/Port.h"
#include "protocol/ProtocolWords.h"
#include "protocol/ServerSession.h"
#include "protocol/SocketError.h"
#include "protocol/TcpClientSocket.h"
#include "shell/AppIcon.h"
#include "shell/FeatGeometry.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

// The font the window was designed with; the twips table assumes it.
constexpr int kDesignFontPoints = 8;

} // namespace

fFeat::fFeat(std::unique_ptr<ClientSocket> socket, TrayCommands::TrayFactory makeTray, QWidget* parent)
    : QWidget(parent), m_tray(new TrayCommands(std::move(makeTray), this)),
      m_endProgram([] { QCoreApplication::exit(0); }),
      m_notificationAreaExists([this] { return m_tray->notificationAreaAvailable(); })
{
    setObjectName(u"fFeat"_s);
    setWindowTitle(u"Клиент"_s);
    setWindowIcon(AppIcon::icon());
    QFont designFont = font();
    designFont.setPointSize(kDesignFontPoints);
    setFont(designFont);
    createControls();
    layOut();

    if (!socket)
        socket = std::make_unique<TcpClientSocket>();
    ClientSocket* wC = socket.release();
    m_session = new ServerSession(wC, this);
    m_statusBox = std::make_unique<PlainTextStatusBox>(lStatus);
    m_session->setStatusBox(m_statusBox.get());
    connect(wC, &ClientSocket::Connected, this, &fFeat::wC_Connect);
    connect(wC, &ClientSocket::Closed, this, &fFeat::wC_Close);
    connect(wC, &ClientSocket::Error, this, &fFeat::wC_Error);
    // The session closed the connection itself (a flood without terminator).
    connect(m_session, &ServerSession::connectionDropped, this, [this] { showConnected(false); });
}

fFeat::~fFeat()
{
    // The log box goes with the window's children; the session must not
    // write to it on the way out.
    m_session->setStatusBox(nullptr);
}

void fFeat::createControls()
{
    Label1 = DesignedControls::make<QLabel>(this, u"Label1"_s, u"IP-сервера:"_s);
    tIP = DesignedControls::make<QLineEdit>(this, u"tIP"_s);
    tIP->setText(QString::fromUtf8(Version::kDefaultServer));
    Label2 = DesignedControls::make<QLabel>(this, u"Label2"_s, u"Порт сервера:"_s);
    tPort = DesignedControls::make<QLineEdit>(this, u"tPort"_s);
    tPort->setText(QString::number(Port::kDefault));
    cLocal = DesignedControls::make<QPushButton>(this, u"cLocal"_s, u"Локально"_s);
    cCon = DesignedControls::make<QPushButton>(this, u"cCon"_s, u"Подключить"_s);
    cDisCon = DesignedControls::make<QPushButton>(this, u"cDisCon"_s, u"Отключить"_s);
    lSend = DesignedControls::make<QLabel>(this, u"lSend"_s, u"Отсылка команд:"_s);
    tCom = DesignedControls::make<QPlainTextEdit>(this, u"tCom"_s);
    tCom->setTabChangesFocus(true);
    cSend = DesignedControls::make<QPushButton>(this, u"cSend"_s, u"Send!"_s);
    lStatus = DesignedControls::make<QPlainTextEdit>(this, u"lStatus"_s);
    lStatus->setTabChangesFocus(true);
    lStatus->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lStatus->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    lStatus->setReadOnly(true);
    lStatus->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lStatus->setFocusPolicy(Qt::StrongFocus);
    lFont = DesignedControls::make<QLabel>(this, u"lFont"_s, u"Размер шрифта"_s);
    tFont = DesignedControls::make<QLineEdit>(this, u"tFont"_s);
    Label3 = DesignedControls::make<QLabel>(this, u"Label3"_s, u"пт."_s);

    Label1->setBuddy(tIP);
    Label2->setBuddy(tPort);
    lFont->setBuddy(tFont);
    // The manual command facility lies beyond the window's edges: out of sight,
    // it must also stay out of the tab chain and of what a screen reader walks.
    for (QWidget* facility : std::initializer_list<QWidget*>{lSend, tCom, cSend})
        facility->hide();
    AccessibleNames::describe(this);

    QWidget* tabOrder[] = {tIP, tPort, cLocal, cCon, cDisCon, tCom, cSend, lStatus, tFont};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cLocal, &QPushButton::clicked, this, &fFeat::cLocal_Click);
    connect(cCon, &QPushButton::clicked, this, &fFeat::cCon_Click);
    connect(cDisCon, &QPushButton::clicked, this, &fFeat::cDisCon_Click);
    connect(cSend, &QPushButton::clicked, this, &fFeat::cSend_Click);
    connect(tFont, &QLineEdit::textChanged, this, &fFeat::tFont_Change);
    tFont->installEventFilter(this);
}

void fFeat::layOut()
{
    const QScreen* screen = this->screen();
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    const QRect client = Twips::toPixels(FeatGeometry::clientTwips(), dpiX, dpiY);
    QList<QWidget*> widgets;
    QList<QRect> rects;
    QList<int> needed;
    for (const Twips::Placement& control : FeatGeometry::controls()) {
        auto* widget = findChild<QWidget*>(control.name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(widget);
        QRect rect = Twips::toPixels(control.twips, dpiX, dpiY);
        // A font that renders taller than the design's must not be clipped.
        rect.setHeight(qMax(rect.height(), widget->minimumSizeHint().height()));
        widgets << widget;
        rects << rect;
        const bool captioned = qobject_cast<QLabel*>(widget) || qobject_cast<QPushButton*>(widget);
        needed << (captioned ? widget->sizeHint().width() : 0);
    }
    // The gap the design leaves between "Размер шрифта" and its box.
    rects = FeatGeometry::fitCaptions(rects, needed, Twips::toPixels(105, dpiX));
    QSize size = client.size();
    for (qsizetype i = 0; i < widgets.size(); ++i) {
        widgets[i]->setGeometry(rects[i]);
        // The manual command facility lies outside the window on purpose;
        // everything else that grew keeps the window around it.
        const QRect designed = Twips::toPixels(FeatGeometry::controls()[i].twips, dpiX, dpiY);
        if (client.contains(designed.topLeft()))
            size = size.expandedTo(QSize(rects[i].right() + 1, rects[i].bottom() + 1));
    }
    setFixedSize(size);
}

void fFeat::Form_Load()
{
    m_tray->Show_Tray(*this);
    Show_Font();
    cCon_Click();
    bUnLoadQues = true;
}

void fFeat::Show_Font()
{
    const std::optional<double> size = RussianFormat::toDouble(Setting::FontSize.get());
    // Only the user's own edits are stored: showing the value must not
    // overwrite a stored value, even one that is not a number.
    m_fillingFont = true;
    tFont->setText(RussianFormat::shortest(size.value_or(24.0)));
    m_fillingFont = false;
}

void fFeat::tFont_Change(const QString& text)
{
    if (m_fillingFont || !RussianFormat::isNumeric(text))
        return;
    // Told once: every keystroke saves, and a store that cannot be written
    // would otherwise answer each one with a box.
    if (!Setting::FontSize.set(text) && !m_saveFailureReported) {
        m_saveFailureReported = true;
        Show_Error(u"Не удалось сохранить настройку "_s + Setting::FontSize.key + u'\r' +
                       SettingsStore::fileName(),
                   u"mReg"_s, u"SaveReg"_s, 0);
    }
}

bool fFeat::Form_QueryUnload()
{
    if (bUnLoadQues) {
        const Dialogs::Answer answer = Dialogs::message(u"Выходим. Уверены?"_s, Dialogs::Buttons::YesNo,
                                                        Dialogs::Icon::Question, u"Сервер рецептур"_s);
        if (answer != Dialogs::Answer::Yes)
            return false;
    }
    m_tray->unloadTray();
    // Ends without closing the socket first: it is dropped with the program.
    m_endProgram();
    return true;
}

void fFeat::cSend_Click()
{
    // A multi-line box's text carries CR LF line breaks.
    QString text = tCom->toPlainText();
    text.replace(u'\n', u"\r\n"_s);
    SendCommand(text);
}

void fFeat::SendCommand(const QString& command)
{
    m_session->SendCommand(command);
}

void fFeat::cCon_Click()
{
    ClientSocket& socket = wC();
    socket.Close();
    try {
        socket.Connect(tIP->text(), tPort->text());
    } catch (const SocketError& error) {
        // A host or port the socket cannot use fails at once, before any
        // attempt; no attempt means no "connecting" line in the log.
        if (error.number == SocketError::kInvalidArgument) {
            Dialogs::message(u"Не удалось начать подключение к серверу."_s + u'\r' + error.description,
                             Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
        } else {
            Dialogs::message(QString::number(error.number) + u'\r' + error.description, Dialogs::Buttons::Ok,
                             Dialogs::Icon::Critical, u"Ошибка!"_s);
        }
        return;
    }
    m_session->AddStatus(u"Подключаемся к серверу: "_s + tIP->text() + u" через порт "_s + tPort->text());
}

void fFeat::cDisCon_Click()
{
    wC().Close();
    showConnected(false);
}

void fFeat::setServerAddress(const QString& host, const QString& port)
{
    if (!host.isEmpty())
        tIP->setText(host);
    if (!port.isEmpty())
        tPort->setText(port);
}

void fFeat::cLocal_Click()
{
    tIP->setText(wC().LocalIP());
}

void fFeat::wC_Connect()
{
    // Text a broken connection left half-received must not be glued to the
    // first message of this one; its whole messages are still handled.
    m_session->dropIncompleteMessage();
    m_session->AddStatus(u"Подключислись к серверу!"_s);
    SendCommand(Proto::GetDishTables);
    showConnected(true);
}

void fFeat::wC_Close()
{
    showConnected(false);
    const Dialogs::Answer answer = Dialogs::message(u"Потеряно соединение с сервером!"_s + u'\r' +
                                                        u"Возможно сервер занят или недоступен"_s + u'\r' +
                                                        u'\r' + u"Подключиться повторно?"_s,
                                                    Dialogs::Buttons::YesNo, Dialogs::Icon::Question);
    if (answer == Dialogs::Answer::Yes)
        cCon_Click();
    else
        wC().Close();
}

void fFeat::wC_Error(int number, const QString& description, bool* cancelDisplay)
{
    if (cancelDisplay)
        *cancelDisplay = true;
    const QString module = u"fConnect"_s;
    const QString procedure = u"wC_Error"_s;
    switch (number) {
    case SocketError::kConnectionAborted:
        Show_Error(u"Сервер отклонил соединение"_s + u'\r' + u'(' + description + u')', module, procedure,
                   number);
        wC().Close();
        break;
    case SocketError::kTimedOut:
        Show_Error(u"Истекло время ожидания"_s + u'\r' + u"Возможно сервер занят или недоступен"_s + u'\r' +
                       u"Повторите попытку подключения позже"_s,
                   module, procedure, number);
        wC().Close();
        break;
    case SocketError::kConnectionRefused:
        wC().Close();
        if (Dialogs::message(u"Соединение не установлено!"_s + u'\r' +
                                 u"Возможно сервер занят или недоступен"_s + u'\r' + u'\r' +
                                 u"Повторить попытку подключения?"_s,
                             Dialogs::Buttons::YesNo, Dialogs::Icon::Question) == Dialogs::Answer::Yes)
            cCon_Click();
        break;
    default:
        // Left in its error state on purpose: the tray menu and the buttons
        // still offer "Отключить", which resets it.
        Dialogs::message(QString::number(number) + u'\r' + description, Dialogs::Buttons::Ok,
                         Dialogs::Icon::Critical, u"Ошибка!"_s);
        break;
    }
}

void fFeat::showConnected(bool connected)
{
    cCon->setEnabled(!connected);
    cDisCon->setEnabled(connected);
    m_tray->setConnectionItems(connected);
}

ClientSocket& fFeat::wC() const
{
    return m_session->socket();
}

ServerSession& fFeat::session() const
{
    return *m_session;
}

TrayCommands& fFeat::trayCommands() const
{
    return *m_tray;
}

QWidget* fFeat::trayOwnerWindow()
{
    return this;
}

QIcon fFeat::windowIcon() const
{
    return QWidget::windowIcon();
}

void fFeat::showWindow()
{
    // Back where it was: a window shown again without a position of its own
    // is placed anew by the window manager. The platform window is told
    // directly, since to the widget the position has not changed.
    if (!isVisible() && m_hiddenAt && windowHandle())
        windowHandle()->setPosition(*m_hiddenAt);
    show();
}

void fFeat::setNormalState()
{
    // A hidden window stays hidden. X maps a window whose state leaves
    // "minimised" even while the toolkit counts it as hidden: it would show as
    // a frame that is never painted and that the next minimise would not
    // hide. Showing it again sets its state after showing it.
    if (!isVisible())
        return;
    setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen));
}

void fFeat::bringToFront()
{
    if (!isVisible())
        return;
    raise();
    activateWindow();
}

int fFeat::socketState() const
{
    return wC().State();
}

void fFeat::setEndProgramHandler(std::function<void()> handler)
{
    m_endProgram = std::move(handler);
}

void fFeat::setNotificationAreaCheck(std::function<bool()> check)
{
    m_notificationAreaExists = std::move(check);
}

void fFeat::Form_Resize()
{
    if (isMinimized() && isVisible() && m_notificationAreaExists()) {
        if (windowHandle())
            m_hiddenAt = windowHandle()->position();
        hide();
    }
}

void fFeat::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    // Hidden once the state change has been handled: hiding from inside it
    // would be undone by showMinimized(), which shows the window after
    // setting its state, and some window managers mishandle it as well.
    if (event->type() == QEvent::WindowStateChange && isMinimized())
        QMetaObject::invokeMethod(this, &fFeat::Form_Resize, Qt::QueuedConnection);
}

void fFeat::closeEvent(QCloseEvent* event)
{
    if (Form_QueryUnload())
        event->accept();
    else
        event->ignore();
}

bool fFeat::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tFont) {
        if (event->type() == QEvent::FocusIn) {
            SelectText();
        } else if (event->type() == QEvent::KeyPress) {
            const QString text = static_cast<QKeyEvent*>(event)->text();
            // Keys without a character (arrows, Home, Delete) are editing
            // keys, not typed characters, and are not filtered.
            if (!text.isEmpty() && text.front() != QChar(0x7f) && !CheckNumKey(text.front().unicode(), true))
                return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
