#include "fFeat.h"

#include "AppIcon.h"
#include "Dialogs.h"
#include "FeatGeometry.h"
#include "NumberHelpers.h"
#include "RussianFormat.h"
#include "Settings.h"
#include "TextSelection.h"
#include "Version.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSystemTrayIcon>

namespace {

// The font the window was designed with; the twips table assumes it.
constexpr int kDesignFontPoints = 8;

template <typename T> T* makeControl(QWidget* parent, const char* name)
{
    auto* control = new T(parent);
    control->setObjectName(QString::fromLatin1(name));
    return control;
}

} // namespace

fFeat::fFeat(QWidget* parent)
    : QWidget(parent), m_endProgram([] { QCoreApplication::exit(0); }),
      m_notificationAreaExists([] { return QSystemTrayIcon::isSystemTrayAvailable(); })
{
    setObjectName(QStringLiteral("fFeat"));
    setWindowTitle(QStringLiteral("Клиент"));
    setWindowIcon(AppIcon::icon());
    QFont designFont = font();
    designFont.setPointSize(kDesignFontPoints);
    setFont(designFont);
    createControls();
    layOut();
}

fFeat::~fFeat() = default;

void fFeat::createControls()
{
    Label1 = makeControl<QLabel>(this, "Label1");
    Label1->setText(QStringLiteral("IP-сервера:"));
    tIP = makeControl<QLineEdit>(this, "tIP");
    tIP->setText(QString::fromUtf8(Version::kDefaultServer));
    Label2 = makeControl<QLabel>(this, "Label2");
    Label2->setText(QStringLiteral("Порт сервера:"));
    tPort = makeControl<QLineEdit>(this, "tPort");
    tPort->setText(QStringLiteral("400"));
    cLocal = makeControl<QPushButton>(this, "cLocal");
    cLocal->setText(QStringLiteral("Локально"));
    cCon = makeControl<QPushButton>(this, "cCon");
    cCon->setText(QStringLiteral("Подключить"));
    cDisCon = makeControl<QPushButton>(this, "cDisCon");
    cDisCon->setText(QStringLiteral("Отключить"));
    lSend = makeControl<QLabel>(this, "lSend");
    lSend->setText(QStringLiteral("Отсылка команд:"));
    tCom = makeControl<QPlainTextEdit>(this, "tCom");
    tCom->setTabChangesFocus(true);
    cSend = makeControl<QPushButton>(this, "cSend");
    cSend->setText(QStringLiteral("Send!"));
    lStatus = makeControl<QPlainTextEdit>(this, "lStatus");
    lStatus->setTabChangesFocus(true);
    lStatus->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    lStatus->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    lStatus->setPlainText(QStringLiteral("Лог сервера:\r\n"));
    lFont = makeControl<QLabel>(this, "lFont");
    lFont->setText(QStringLiteral("Размер шрифта"));
    tFont = makeControl<QLineEdit>(this, "tFont");
    Label3 = makeControl<QLabel>(this, "Label3");
    Label3->setText(QStringLiteral("пт."));

    for (QLabel* label : {Label1, Label2, lSend, lFont, Label3})
        label->setTextFormat(Qt::PlainText);

    QWidget* tabOrder[] = {tIP, tPort, cLocal, cCon, cDisCon, tCom, cSend, lStatus, tFont};
    for (std::size_t i = 1; i < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i - 1], tabOrder[i]);

    connect(cSend, &QPushButton::clicked, this, &fFeat::cSend_Click);
    connect(tFont, &QLineEdit::textChanged, this, &fFeat::tFont_Change);
    tFont->installEventFilter(this);
}

void fFeat::layOut()
{
    const QScreen* screen = this->screen();
    const qreal dpiX = screen ? screen->logicalDotsPerInchX() : 96.0;
    const qreal dpiY = screen ? screen->logicalDotsPerInchY() : 96.0;
    for (const FeatGeometry::Control& control : FeatGeometry::controls()) {
        auto* widget = findChild<QWidget*>(control.name, Qt::FindDirectChildrenOnly);
        Q_ASSERT(widget);
        QRect rect = FeatGeometry::toPixels(control.twips, dpiX, dpiY);
        // A font that renders taller than the design's must not be clipped.
        rect.setHeight(qMax(rect.height(), widget->minimumSizeHint().height()));
        widget->setGeometry(rect);
    }
    setFixedSize(FeatGeometry::toPixels(FeatGeometry::clientTwips(), dpiX, dpiY).size());
}

void fFeat::Form_Load()
{
    Show_Font();
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
    Setting::FontSize.set(text);
}

bool fFeat::Form_QueryUnload()
{
    if (bUnLoadQues) {
        const Dialogs::Answer answer =
            Dialogs::message(QStringLiteral("Выходим. Уверены?"), Dialogs::Buttons::YesNo,
                             Dialogs::Icon::Question, QStringLiteral("Сервер рецептур"));
        if (answer != Dialogs::Answer::Yes)
            return false;
    }
    m_endProgram();
    return true;
}

void fFeat::cSend_Click() {}

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
    if (isMinimized() && isVisible() && m_notificationAreaExists())
        hide();
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
