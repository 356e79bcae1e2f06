#include "fitness/FitnessFixture.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_s;
const QString kNorms = u"x<Sc>I<Sc>1,4<Sc>18-29<Sc>2450"_s;
} // namespace

class TestFitnessController : public QObject
{
    Q_OBJECT

    std::optional<FitnessFixture> f;
    int m_closeProgram = 0;

    void click(const char* button) { f->control<QPushButton>(button)->click(); }

private slots:
    void init()
    {
        f.emplace();
        m_closeProgram = 0;
        f->controller.setCloseProgramHandler([this] { ++m_closeProgram; });
    }

    // The next init() drops this test's fixture, windows first.
    void cleanup() { QCOMPARE(f->dialogs.pending(), 0); }

    void firstTouchLoads_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("sent");
        const QString men = u"$Get_Man_Norm"_s;
        QTest::newRow("catalogue") << 0 << true << QStringList{men, u"$GetDishes=Супы"_s};
        QTest::newRow("dish list") << 1 << true << QStringList{men};
        QTest::newRow("composition") << 2 << false << QStringList{men};
        QTest::newRow("norm table") << 3 << false << QStringList{men};
        QTest::newRow("empty norm table touches nothing") << 4 << false << QStringList();
    }
    void firstTouchLoads()
    {
        QFETCH(int, reply);
        QFETCH(bool, shown);
        QFETCH(QStringList, sent);
        FitnessController& c = f->controller;
        QCOMPARE(c.window(), nullptr);
        const std::function<void()> replies[] = {
            [&] { c.form_Bases_Bl(u"Супы"_s); }, [&] { c.form_Dishes_Bl(u"Борщ"_s); },
            [&] { c.receiveComposition(kBorshch); }, [&] { c.receiveNorm(kNorms); },
            [&] { c.receiveNorm(QString()); }};
        replies[reply]();
        QCOMPARE(f->link.sent, sent);
        QCOMPARE(c.window() != nullptr, !sent.isEmpty());
        QCOMPARE(c.window() && c.window()->isVisible(), shown);
    }

    void closing_data()
    {
        QTest::addColumn<bool>("shown");
        QTest::addColumn<Dialogs::Answer>("answer");
        QTest::newRow("No") << true << Dialogs::Answer::No;
        QTest::newRow("Yes ends the program") << true << Dialogs::Answer::Yes;
        QTest::newRow("a hidden window asks too") << false << Dialogs::Answer::No;
    }
    void closing()
    {
        QFETCH(bool, shown);
        QFETCH(Dialogs::Answer, answer);
        FitnessController& c = f->controller;
        c.receiveNorm(kNorms);
        c.receiveComposition(kBorshch);
        if (shown)
            c.form_Bases_Bl(u"Супы"_s);
        click("cAdd");
        click("cPrint"); // no preview to open yet: nothing happens
        // The hooks reach the window loaded now and every one loaded later.
        int previews = 0;
        c.setPrintHandler([&] { ++previews; });
        click("cPrint");

        const QPointer<fEnergy> window = c.window();
        f->dialogs.expectBox(answer);
        QVERIFY(window->close());
        const Dialogs::Box box = f->dialogs.boxes().value(0);
        QCOMPARE(box.text, u"Закрыть всю программу?"_s);
        QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(box.icon, Dialogs::Icon::Question);
        QCOMPARE(m_closeProgram, answer == Dialogs::Answer::Yes ? 1 : 0);
        QCOMPARE(c.window(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window);

        // The next touch loads a fresh window: empty ration, first caption, the
        // men's norms asked for again. The table and the loaded dish outlive it.
        f->link.take();
        c.form_Dishes_Bl(u"Щи"_s);
        QVERIFY(c.recipeData().rationEntries().isEmpty());
        QCOMPARE(f->control<QPushButton>("cAdd")->text(), u"&Добавить"_s);
        QCOMPARE(f->link.sent, QStringList{u"$Get_Man_Norm"_s});
        QCOMPARE(c.sNorm(), kNorms);
        f->control<QLineEdit>("tOut")->setText(u"100"_s);
        click("cAdd");
        QCOMPARE(c.recipeData().rationEntries().GetDishName(1), u"Борщ"_s);
        click("cPrint");
        QCOMPARE(previews, 2);
    }
};

QTEST_MAIN(TestFitnessController)
#include "TestFitnessController.moc"
