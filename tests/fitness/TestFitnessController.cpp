#include "FitnessController.h"
#include "RecordingLink.h"
#include "ScriptedDialogs.h"
#include "TempSettings.h"
#include "fEnergy.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
const QString kNorms = u"x<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>x<Sc>II<Sc>1,6<Sc>18-29<Sc>2800"_qs;
} // namespace

class TestFitnessController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<RecordingLink> m_link;
    std::unique_ptr<FitnessController> m_controller;
    int m_closeProgram = 0;

    template <typename T> T* control(const char* name)
    {
        return m_controller->energy().findChild<T*>(QString::fromLatin1(name));
    }

    // Fills a window with a catalogue, a dish, two ration entries and norms.
    void useTheWindow()
    {
        m_controller->form_Bases_Bl(u"Супы"_qs);
        m_controller->form_Dishes_Bl(u"Борщ"_qs);
        m_controller->receiveComposition(kBorshch);
        m_controller->receiveNorm(kNorms);
        control<QPushButton>("cAdd")->click();
        control<QPushButton>("cAdd")->click();
        QCOMPARE(m_controller->recipeData().rationEntries().upperBound(), 2);
        m_link->takeSent();
    }

    // Closes the window, answering the close question.
    void closeAnswering(Dialogs::Answer answer)
    {
        QPointer<fEnergy> window = m_controller->window();
        QVERIFY(window);
        QCOMPARE(m_dialogs->pending(), 0);
        m_dialogs->clear();
        m_dialogs->expectBox(answer);
        QVERIFY(window->close());
        QCOMPARE(m_dialogs->boxes().size(), 1);
        const Dialogs::Box box = m_dialogs->boxes().first();
        QCOMPARE(box.text, u"Закрыть всю программу?"_qs);
        QCOMPARE(box.buttons, Dialogs::Buttons::YesNo);
        QCOMPARE(box.icon, Dialogs::Icon::Question);
        QCOMPARE(box.title, u"Quorvel"_qs);
        QCOMPARE(m_controller->window(), nullptr);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!window); // the closed window is gone
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_link = std::make_unique<RecordingLink>();
        m_controller = std::make_unique<FitnessController>(*m_link);
        m_closeProgram = 0;
        m_controller->setCloseProgramHandler([this] { ++m_closeProgram; });
    }

    void cleanup()
    {
        m_controller.reset();
        QCOMPARE(m_dialogs->pending(), 0);
        m_dialogs.reset();
        m_link.reset();
        m_settings.reset();
    }

    void nothingLoadsUntilTouched()
    {
        QCOMPARE(m_controller->window(), nullptr);
        QVERIFY(m_link->sent.isEmpty());
        QVERIFY(m_controller->recipeData().rationEntries().isEmpty());
    }

    void firstTouchLoads_data()
    {
        QTest::addColumn<int>("reply");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QStringList>("sent");
        QTest::newRow("catalogue") << 0 << true << QStringList{u"$Get_Man_Norm"_qs, u"$GetDishes=Супы"_qs};
        QTest::newRow("dish list") << 1 << true << QStringList{u"$Get_Man_Norm"_qs};
        QTest::newRow("composition") << 2 << false << QStringList{u"$Get_Man_Norm"_qs};
        QTest::newRow("norm table") << 3 << false << QStringList{u"$Get_Man_Norm"_qs};
    }
    void firstTouchLoads()
    {
        QFETCH(int, reply);
        QFETCH(bool, shown);
        QFETCH(QStringList, sent);
        switch (reply) {
        case 0:
            m_controller->form_Bases_Bl(u"Супы"_qs);
            break;
        case 1:
            m_controller->form_Dishes_Bl(u"Борщ"_qs);
            break;
        case 2:
            m_controller->receiveComposition(kBorshch);
            break;
        case 3:
            m_controller->receiveNorm(kNorms);
            break;
        }
        QVERIFY(m_controller->window());
        QCOMPARE(m_controller->window()->isVisible(), shown);
        QCOMPARE(m_link->sent, sent);
        // Only one window, whatever touches it next.
        fEnergy* first = m_controller->window();
        m_controller->form_Dishes_Bl(u"Щи"_qs);
        QCOMPARE(m_controller->window(), first);
    }

    void normReplyFillsTheHiddenWindow()
    {
        m_controller->receiveNorm(kNorms);
        QCOMPARE(m_controller->sNorm(), kNorms);
        QCOMPARE(control<QComboBox>("cKFA")->count(), 2);
        QCOMPARE(control<QComboBox>("cVozr")->currentText(), u"18-29"_qs);
        QVERIFY(!m_controller->window()->isVisible());
    }

    void emptyNormReplyTouchesNoWindow()
    {
        m_controller->receiveNorm(QString());
        QCOMPARE(m_controller->window(), nullptr);
        QVERIFY(m_link->sent.isEmpty());
    }

    void closingAndAnsweringNo()
    {
        useTheWindow();
        closeAnswering(Dialogs::Answer::No);
        QCOMPARE(m_closeProgram, 0);
        // What belongs to the run survives the window.
        QCOMPARE(m_controller->sNorm(), kNorms);
        QCOMPARE(m_controller->recipeData().CurrentHS(), kBorshch);

        // The next touch loads it afresh: empty ration, first caption, the
        // men's norms asked for again, empty lists until the replies come.
        m_controller->form_Dishes_Bl(u"Щи"_qs);
        fEnergy* window = m_controller->window();
        QVERIFY(window);
        QVERIFY(window->isVisible());
        QVERIFY(m_controller->recipeData().rationEntries().isEmpty());
        QCOMPARE(control<QPushButton>("cAdd")->text(), u"&Добавить"_qs);
        QCOMPARE(m_link->takeSent(), QStringList{u"$Get_Man_Norm"_qs});
        QCOMPARE(control<QListWidget>("lBases")->count(), 0);
        QCOMPARE(control<QComboBox>("cKFA")->count(), 0);
        QCOMPARE(control<QLineEdit>("tOut")->text(), QString());
        QCOMPARE(m_controller->sNorm(), kNorms);

        // The loaded dish is still the one to add, once a weight is given.
        m_dialogs->clear();
        m_dialogs->expectBox();
        control<QPushButton>("cAdd")->click();
        QVERIFY(m_dialogs->boxTexts().first().startsWith(u"Неверно указан выход блюда"_qs));
        QVERIFY(m_controller->recipeData().rationEntries().isEmpty());
        control<QLineEdit>("tOut")->setText(u"100"_qs);
        control<QPushButton>("cAdd")->click();
        QCOMPARE(m_controller->recipeData().rationEntries().GetDishName(1), u"Борщ"_qs);
        QCOMPARE(m_controller->recipeData().rationEntries().GetDishProtein(1), 5.0);
    }

    void closingAndAnsweringYesEndsTheProgram()
    {
        useTheWindow();
        closeAnswering(Dialogs::Answer::Yes);
        QCOMPARE(m_closeProgram, 1);
    }

    void closingAHiddenWindowAsksToo()
    {
        m_controller->receiveNorm(kNorms);
        closeAnswering(Dialogs::Answer::No);
        QCOMPARE(m_closeProgram, 0);
    }

    void hooksReachWindowsLoadedLater()
    {
        int previews = 0;
        m_controller->setPrintHandler([&] { ++previews; });
        control<QPushButton>("cPrint")->click();
        closeAnswering(Dialogs::Answer::No);
        control<QPushButton>("cPrint")->click();
        QCOMPARE(previews, 2);
        closeAnswering(Dialogs::Answer::Yes);
        QCOMPARE(m_closeProgram, 1);
    }
};

QTEST_MAIN(TestFitnessController)
#include "TestFitnessController.moc"
