#include "desktop/Desktop.h"

#include "common/Settings.h"
#include "common/Translations.h"
#include "fitness/FitnessController.h"
#include "fitness/RationReportSource.h"
#include "fitness/fEnergy.h"
#include "fitness/fRation.h"
#include "protocol/ServerSession.h"
#include "shell/Application.h"
#include "shell/fFeat.h"
#include "support/TempSettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDebug>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QStyle>
#include <QTest>

using namespace Qt::Literals::StringLiterals;

namespace {

// What the control shows as its caption or text, and the room its ink needs
// inside the control's frame: a check box also needs its box beside it, a
// label its margins; text boxes and lists scroll sideways, so only height.
QSize inkNeeded(const QWidget* control)
{
    QString caption = control->property("text").toString();
    if (const auto* combo = qobject_cast<const QComboBox*>(control))
        caption = combo->currentText();
    caption.remove(u'&');
    if (caption.trimmed().isEmpty())
        return QSize();
    const auto* framed = qobject_cast<const QFrame*>(control);
    const int frame =
        2 * (framed ? framed->frameWidth()
                    : control->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, control));
    QSize ink = control->fontMetrics().tightBoundingRect(caption).size() + QSize(frame, frame);
    if (qobject_cast<const QCheckBox*>(control) || qobject_cast<const QLabel*>(control))
        ink.setWidth(control->sizeHint().width());
    if (qobject_cast<const QLineEdit*>(control) || qobject_cast<const QComboBox*>(control))
        ink.setWidth(0);
    return ink;
}

// Captions cut or run into each other: every caption inside its control, the
// control inside the window, and no two captions of a window overlapping.
QStringList faults(QWidget& window)
{
    QStringList found;
    QList<std::pair<QString, QRect>> captions;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        const QSize ink = inkNeeded(control);
        // Wrapping labels wrap, and windows of their own are checked by themselves.
        const auto* label = qobject_cast<QLabel*>(control);
        if (!control->isVisible() || control->window() != &window || ink.isEmpty() ||
            (label && label->wordWrap()))
            continue;
        const QString name = window.objectName() + u'.' + control->objectName();
        if (ink.width() > control->width() || ink.height() > control->height())
            found << name + u" cut: "_s + QDebug::toString(control->size()) + u" for "_s +
                         QDebug::toString(ink);
        const QRect where(control->mapTo(&window, QPoint(0, 0)),
                          control->size().boundedTo(ink.expandedTo({1, 1})));
        if (!window.rect().contains(where))
            found << name + u" outside the window: "_s + QDebug::toString(where);
        for (const auto& [other, rect] : captions)
            if (rect.intersects(where))
                found << name + u" overlaps "_s + other;
        captions.append({name, where});
    }
    return found;
}

} // namespace

// With the font-size setting at 24 pt, and again on a desktop scaled to 200 %
// (the second run sets QT_SCALE_FACTOR=2), every caption of the main,
// fitness, ration and preview windows shows whole.
class TestLargeFonts : public QObject
{
    Q_OBJECT

    TempSettings m_settings;

private slots:
    void everyCaptionWholeInEveryWindow()
    {
        installRussianTranslations(*qApp);
        const QString port = g_desktop->startDemoServer();
        QVERIFY(!port.isEmpty());
        QVERIFY(Setting::FontSize.set(u"24"_s));
        fFeat main;
        main.setServerAddress(QString(), port);
        FitnessController fitness(main.session());
        connectFitness(main, fitness);
        main.show();
        main.Form_Load();
        QVERIFY(QTest::qWaitFor([&] { return fitness.window() && fitness.window()->isVisible(); }, 20000));
        fEnergy& energy = *fitness.window();
        auto* dishes = energy.findChild<QListWidget*>(u"lDishes"_s);
        QVERIFY(QTest::qWaitFor([&] { return dishes->count() > 0; }, 20000));
        dishes->setCurrentRow(0);
        QVERIFY(QTest::qWaitFor([&] { return !energy.findChild<QLineEdit*>(u"tOut"_s)->text().isEmpty(); },
                                20000));
        auto* add = energy.findChild<QAbstractButton*>(u"cAdd"_s);
        for (int i = 0; i < 25; ++i)
            add->click(); // its widest caption, "Добавить (25)"
        energy.openRation();
        energy.findChild<QAbstractButton*>(u"cPrint"_s)->click();
        QWidget* preview = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == u"fPreView")
                preview = window;
        QVERIFY(preview);

        const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
        QStringList found;
        for (QWidget* window : {static_cast<QWidget*>(&main), static_cast<QWidget*>(&energy),
                                static_cast<QWidget*>(energy.rationWindow()), preview}) {
            QVERIFY(QTest::qWaitForWindowExposed(window));
            QTest::qWait(700); // the window manager's frame, then the layout for it
            found << faults(*window);
            // Kept for a look: what the check cannot see, a person can. Drawn
            // by the window itself, as the windows overlap on the screen.
            window->grab().save(u"TestLargeFonts-"_s + window->objectName() + u'-' +
                                (scale.isEmpty() ? u"24pt"_s : scale + u"00%"_s) + u".png"_s);
        }
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u"\n"_s)));
    }
};

int main(int argc, char* argv[])
{
    return runOnDesktop<QApplication, TestLargeFonts>(argc, argv);
}

#include "TestLargeFonts.moc"
