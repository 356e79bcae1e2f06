#include "common/ErrorBox.h"
#include "common/Settings.h"
#include "fitness/ChosenGroup.h"
#include "fitness/FitnessController.h"
#include "fitness/fEnergy.h"
#include "fitness/fRation.h"
#include "recipes/RationEntries.h"
#include "support/RecordingLink.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>

#include <functional>
#include <optional>
#include <tuple>

using namespace Qt::StringLiterals;

// Борщ of 200 g, and a norm table of two activity groups, the first with two ages.
const QString kBorshch = QStringLiteral("10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200");
const QString kNorms = QStringLiteral("x<Sc>I<Sc>1,4<Sc>18-29<Sc>2450<Str>x<Sc>I<Sc>1,4<Sc>30-39<Sc>2300<Str>"
                                      "x<Sc>II<Sc>1,6<Sc>18-29<Sc>2800");
const QString kFull = QStringLiteral("Белки-10,0г, Жиры-5,0г, Углеводы-50,0г, Калорийность-284ккал");

// The fitness side over a link that records what it is asked to send and log,
// with settings and message boxes of the test's own. One per test function.
struct FitnessFixture
{
    // A control of the window, loading the window if it is not loaded.
    template <typename T = QWidget> T* control(const char* name)
    {
        return controller.energy().findChild<T*>(QString::fromLatin1(name));
    }

    TempSettings settings;
    ScriptedDialogs dialogs;
    RecordingLink link;
    FitnessController controller{link};
};

class TestfEnergy : public QObject
{
    Q_OBJECT

    std::optional<FitnessFixture> f;
    int m_closeProgram = 0;

    fEnergy& window() { return f->controller.energy(); }
    QListWidget* lBases() { return f->control<QListWidget>("lBases"); }
    QListWidget* lDishes() { return f->control<QListWidget>("lDishes"); }
    QLineEdit* tOut() { return f->control<QLineEdit>("tOut"); }
    QLabel* lHS() { return f->control<QLabel>("lHS"); }
    QPushButton* cAdd() { return f->control<QPushButton>("cAdd"); }
    const RationEntries& ration() { return f->controller.recipeData().rationEntries(); }
    static QString userError(const QString& message) { return errorBoxText(message, {}, {}, 0); }

    template <typename List> static QStringList entries(const List* list)
    {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->model()->index(i, 0).data().toString();
        return texts;
    }

    // Name, caption, hint and the control a label's mnemonic reaches.
    static QString describe(const QWidget* w)
    {
        const auto* label = qobject_cast<const QLabel*>(w);
        const QString buddy = label && label->buddy() ? label->buddy()->objectName() : QString();
        return QStringList{w->objectName(), w->property("text").toString(), w->toolTip(), buddy}.join(u'|');
    }

    void showActive()
    {
        window().show();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }

    void loadBorshch()
    {
        f->controller.form_Bases_Bl(u"Супы"_s);
        f->controller.receiveComposition(kBorshch);
        f->link.take();
    }

    void typeWeight(const QString& text)
    {
        tOut()->selectAll();
        QTest::keyClicks(tOut(), text);
    }

private slots:
    void init()
    {
        f.emplace();
        m_closeProgram = 0;
        f->controller.setCloseProgramHandler([this] { ++m_closeProgram; });
    }

    // The next init() drops this test's fixture, windows first.
    void cleanup() { QCOMPARE(f->dialogs.pending(), 0); }

    void controlsAsDesigned()
    {
        QCOMPARE(window().windowTitle(), u"Запрос калорийности с сервера"_s);
        QStringList labels;
        for (const char* name : {"lKFA", "lVozr", "lOut", "lFindD"})
            labels << describe(f->control(name));
        QCOMPARE(labels, (QStringList{u"lKFA|&КФА||cKFA"_s, u"lVozr|&Возраст||cVozr"_s,
                                      u"lOut|В&ыход||tOut"_s, u"lFindD|"_s + QString(26, u' ') + u"||"_s}));
        QCOMPARE(lHS()->textFormat(), Qt::PlainText); // server text is never markup

        showActive();
        f->control("cPrint")->setFocus();
        QStringList tabOrder;
        for (int i = 0; i < 11; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            tabOrder << describe(QApplication::focusWidget());
        }
        QCOMPARE(tabOrder,
                 (QStringList{u"cMan|&М|Мужчины|"_s, u"cGirl|&Ж|Женщины|"_s,
                              u"cKFA||Коэффициент физической активности|"_s, u"cVozr||Возраст|"_s,
                              u"lBases|||"_s, u"lDishes|||"_s, u"tOut|||"_s, u"cClear|&Х||"_s,
                              u"cAdd|&Добавить||"_s, u"cClearall|&Очистить||"_s, u"cPrint|&Печать||"_s}));
    }

    void loadReadsTheSettings()
    {
        for (const auto& [fontSize, resizeStatus, points, state] :
             {std::tuple{u"10,5"_s, u"1"_s, 10.5, Qt::WindowMinimized},
              {u"0"_s, u"2"_s, 24.0, Qt::WindowMaximized},
              {u"abc"_s, u"max"_s, 24.0, Qt::WindowNoState}}) {
            f.emplace();
            Setting::FontSize.set(fontSize);
            Setting::ResizeStatus.set(resizeStatus);
            QCOMPARE(window().windowState(), state);
            for (const QWidget* control : window().findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                QCOMPARE(control->font().pointSizeF(), points);
        }
    }

    void catalogueSkipsEmptyRecords()
    {
        // One box per reply, shown when the first empty record is met, before
        // the records after it are listed.
        QStringList listedAtBox;
        f->dialogs.onBox = [&](const Dialogs::Box&) { listedAtBox = entries(lBases()); };
        f->dialogs.expectBox();
        f->controller.form_Bases_Bl(u"А<EB><EB>Б"_s);
        QVERIFY(window().isVisible());
        QVERIFY(f->dialogs.boxTexts().value(0).startsWith(u"Ошибка выполнения функции.\r"_s));
        QVERIFY(f->dialogs.boxTexts().value(0).contains(u"\rDish_Cli\rform_Bases_Bl\r"_s));
        QCOMPARE(listedAtBox, QStringList{u"А"_s});
        QCOMPARE(entries(lBases()), (QStringList{u"А"_s, u"Б"_s}));
        QCOMPARE(lBases()->currentRow(), 0);
        QCOMPARE(f->link.take(), (QStringList{u"$Get_Man_Norm"_s, u"$GetDishes=А"_s}));

        f->dialogs.expectBox();
        f->controller.form_Bases_Bl(u"<EB>"_s.repeated(100000) + u"В<EB>Г"_s);
        QVERIFY(
            f->dialogs.boxTexts().value(1).contains(u"\rЗаписей каталога без названия сборника: 100000\r"_s));
        QCOMPARE(entries(lBases()), (QStringList{u"В"_s, u"Г"_s}));
        QCOMPARE(f->link.take(), QStringList{u"$GetDishes=В"_s});

        f->controller.form_Bases_Bl(QString());
        QCOMPARE(lBases()->count(), 0);
        QVERIFY(f->link.sent.isEmpty());
    }

    void dishesFillWithoutSelecting()
    {
        f->controller.form_Dishes_Bl(u"$no_dishes"_s);
        QCOMPARE(entries(lDishes()), QStringList{u"База не содержит рецептур"_s});
        QVERIFY(!lDishes()->isEnabled());
        QVERIFY(!window().isVisible()); // the marker alone shows no window

        f->controller.form_Dishes_Bl(u"Батон<BL>"_s);
        QCOMPARE(entries(lDishes()), (QStringList{u"Батон"_s, QString()}));
        QVERIFY(lDishes()->isEnabled()); // shown, selecting nothing: firstTouchLoads
    }

    // At 24 pt a long name is cut at the list's edge: its tooltip shows all of it, as plain text.
    void cutEntriesShowTheirWholeText()
    {
        const QString whole = u"Котлета рубленая из говядины с картофельным пюре и <b>подливой</b>"_s;
        f->controller.form_Dishes_Bl(u"Щи<BL>"_s + whole);
        showActive();
        QStringList tips;
        for (int row : {0, 1}) {
            const QPoint at = lDishes()->visualItemRect(lDishes()->item(row)).center();
            QHelpEvent help(QEvent::ToolTip, at, lDishes()->viewport()->mapToGlobal(at));
            QApplication::sendEvent(lDishes()->viewport(), &help);
            tips << (QToolTip::isVisible() ? QToolTip::text() : QString());
        }
        QCOMPARE(tips, (QStringList{QString(), Qt::convertFromPlainText(whole, Qt::WhiteSpaceNoWrap)}));
    }

    // A click, a Ctrl+click or Ctrl+Space on the selected entry keeps it, asking nothing.
    void listsKeepOneSelectedEntry()
    {
        f->controller.form_Bases_Bl(u"Хлеб<EB>Супы"_s);
        f->controller.form_Dishes_Bl(u"Борщ<BL>Щи"_s);
        showActive();
        for (QListWidget* view : {lBases(), lDishes()}) {
            view->setCurrentRow(1);
            view->setFocus();
            f->link.take();
            const QPoint at = view->visualItemRect(view->item(1)).center();
            QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::ControlModifier, at);
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
            QTest::keyClick(view, Qt::Key_Space, Qt::ControlModifier);
            QCOMPARE(view->selectedItems(), QList<QListWidgetItem*>{view->item(1)});
            QCOMPARE(f->link.take(), QStringList());
        }
    }

    void selectingAsksTheServer()
    {
        f->controller.form_Dishes_Bl(u"Борщ<BL>Щи<BL>Суп гороховый"_s);
        f->dialogs.expectBox();
        lDishes()->setCurrentRow(0); // no collection chosen: nothing to ask
        QCOMPARE(f->dialogs.boxTexts(), QStringList{userError(u"Необходимо выбрать группу!"_s)});
        f->controller.form_Bases_Bl(u"Хлеб<EB>Супы<EB>Напитки"_s);
        showActive();
        QCOMPARE(f->link.take(), (QStringList{u"$Get_Man_Norm"_s, u"$GetDishes=Хлеб"_s}));
        QTest::mouseClick(lBases()->viewport(), Qt::LeftButton, {},
                          lBases()->visualItemRect(lBases()->item(1)).center());
        lDishes()->setCurrentRow(1);              // from code, as by a click
        QTest::keyClick(lDishes(), Qt::Key_Down); // from the keyboard
        // Type-to-search selects as a click does, into lBases' own label.
        lBases()->setFocus();
        QTest::sendKeyEvent(QTest::Click, lBases(), Qt::Key(0x41D), u"н"_s, Qt::NoModifier);
        QCOMPARE(f->link.take(),
                 (QStringList{u"$GetDishes=Супы"_s, u"$GetHSDishes=Супы<Str>Щи"_s,
                              u"$GetHSDishes=Супы<Str>Суп гороховый"_s, u"$GetDishes=Напитки"_s}));
        QCOMPARE(f->control<QLabel>("lFindBB")->text(), u"Н"_s);
        f->control<QLabel>("lFindD")->setText(u"Котлета рубленая"_s); // grows with the text typed
        QCoreApplication::sendPostedEvents(&window(), QEvent::LayoutRequest);
        QCOMPARE(f->control("lFindD")->size(), f->control("lFindD")->sizeHint());
    }

    void compositionFollowsTheWeight()
    {
        loadBorshch();
        showActive();
        QCOMPARE(tOut()->text(), u"200"_s);
        QCOMPARE(lHS()->text(), kFull);
        typeWeight(u"100"_s);
        QCOMPARE(lHS()->text(), u"Белки-5,0г, Жиры-2,5г, Углеводы-25,0г, Калорийность-142ккал"_s);
        tOut()->setCursorPosition(1); // typing inside the weight keeps the caret where it is
        QTest::keyClicks(tOut(), u"5"_s);
        QCOMPARE(tOut()->cursorPosition(), 2);
        f->controller.receiveComposition(kBorshch); // its own weight, whatever was typed
        QCOMPARE(tOut()->text(), u"200"_s);
        tOut()->setText(u"1,2,3"_s); // pasted text is not filtered
        QCOMPARE(lHS()->text(), QString());

        QTest::mouseClick(f->control("cClear"), Qt::LeftButton);
        QCOMPARE(lHS()->text(), kFull);
        QCOMPARE(QApplication::focusWidget(), tOut());
        lBases()->setFocus();
        QTest::mouseClick(tOut(), Qt::LeftButton); // a focus by mouse selects the whole weight too
        QCOMPARE(tOut()->selectedText(), u"200"_s);
    }

    void refusedAddChangesNothing()
    {
        const QString notLoaded = userError(u"Рецептура не загружена"_s);
        // The boxes on arrival, on typing, on adding.
        for (const auto& [composition, typed, lineShown, boxes] :
             {std::tuple{u"10<Sc>5<Sc>20<Sc>30"_s, u"150"_s, false,
                         QStringList(2, userError(u"Ошибка загрузки рецептуры!"_s))},
              {kBorshch, u"5/-10"_s, true,
               QStringList{userError(
                   u"Неверно указан выход блюда: нужно число не меньше нуля, например 200 или 150/50."_s)}},
              {QString(), u"150"_s, true, QStringList{notLoaded, notLoaded, u"Не загружена рецептура!"_s}}}) {
            f.emplace();
            loadBorshch();
            QTest::mouseClick(cAdd(), Qt::LeftButton);
            const QString entry = ration().entry(1);
            for (qsizetype i = 0; i < boxes.size(); ++i)
                f->dialogs.expectBox();
            f->controller.receiveComposition(composition);
            tOut()->setText(typed);
            QTest::mouseClick(cAdd(), Qt::LeftButton);
            QCOMPARE(f->dialogs.boxTexts(), boxes);
            QCOMPARE(lHS()->text().isEmpty(), !lineShown); // no line of the previous dish
            QCOMPARE(ration().entry(1), entry);
            QCOMPARE(cAdd()->text(), u"Добавить (1)"_s);
        }
    }

    void addingByButtonAndEnter()
    {
        loadBorshch();
        showActive();
        tOut()->setFocus();
        QTest::keyClick(tOut(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), lBases());
        QTest::keyClick(lBases(), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), lDishes());
        QTest::keyClick(lDishes(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), lBases());
        QCOMPARE(cAdd()->text(), u"Добавить (2)"_s); // from tOut and lDishes, not lBases

        QTest::mouseClick(f->control("cClearall"), Qt::LeftButton);
        QCOMPARE(cAdd()->text(), u"Добавить"_s);
        QVERIFY(ration().isEmpty());
        typeWeight(u"100"_s);
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(ration().GetDishWeight(1), u"100"_s);
        for (int i = 2; i <= 25; ++i)
            QTest::mouseClick(cAdd(), Qt::LeftButton);
        f->dialogs.expectBox();
        QTest::keyClick(tOut(), Qt::Key_Return); // the 26th
        QCOMPARE(f->dialogs.boxTexts(),
                 QStringList{userError(u"Один отчет может содержать не больше 25 рецептур!"_s)});
        QCOMPARE(cAdd()->text(), u"Добавить (25)"_s);
    }

    void weightKeyFilter()
    {
        loadBorshch();
        tOut()->end(false);
        QTest::keyClicks(tOut(), u"1.,-/ \\a"_s); // no point, minus, blank or letter
        QCOMPARE(tOut()->text(), u"2001,/\\"_s);
        QTest::keyClick(tOut(), Qt::Key_Home);
        QTest::sendKeyEvent(QTest::Click, tOut(), Qt::Key_Delete, u"\x7f"_s, {}); // as X11 delivers it
        QCOMPARE(tOut()->text(), u"001,/\\"_s);
    }

    void sexAndGroup()
    {
        QCOMPARE(window().GetFullGroup(), u"Мужчины "_s); // no table yet
        QCOMPARE(f->link.take(), QStringList{u"$Get_Man_Norm"_s});
        auto* cKFA = f->control<QComboBox>("cKFA");
        auto* cVozr = f->control<QComboBox>("cVozr");
        f->controller.receiveNorm(kNorms);
        QCOMPARE(entries(cKFA), (QStringList{u"1,4"_s, u"1,6"_s}));
        QCOMPARE(entries(cVozr), (QStringList{u"18-29"_s, u"30-39"_s}));
        cVozr->setCurrentIndex(1);
        QCOMPARE(f->controller.GetFizEnergy(), 2300.0);
        cKFA->setCurrentIndex(1); // rebuilds the ages
        QCOMPARE(entries(cVozr), QStringList{u"18-29"_s});

        // Each box's handler runs the other's when it flips it, and both ask. The
        // caption shows the new sex at once, while the old table is still loaded.
        QTest::mouseClick(f->control("cGirl"), Qt::LeftButton);
        QCOMPARE(f->link.take(), QStringList(2, u"$Get_Girl_Norm"_s));
        QCOMPARE(f->controller.GetFullGroup(), u"Женщины II (1,6), 18-29 лет (2800 ккал)"_s);
        QTest::mouseClick(f->control("cMan"), Qt::LeftButton);
        QCOMPARE(f->link.take(), QStringList(2, u"$Get_Man_Norm"_s));
        QTest::mouseClick(f->control("cMan"), Qt::LeftButton); // unticking one ticks the other
        QCOMPARE(f->link.take(), QStringList(2, u"$Get_Girl_Norm"_s));
        QCOMPARE(f->link.status.last(), u"Отправили запрос на физиологические нормы для женщин..."_s);

        f->controller.receiveNorm(kNorms); // again: the first choices again
        QCOMPARE(cKFA->currentText() + u' ' + cVozr->currentText(), u"1,4 18-29"_s);
        f->dialogs.expectBox();
        f->controller.receiveNorm(u"x<Sc>y<Str><Str>"_s); // nothing readable: reported once
        QCOMPARE(f->dialogs.boxTexts(),
                 QStringList{u"Ошибка загрузки главного массива физиологических норм!"_s});
        QCOMPARE(cKFA->count() + cVozr->count(), 0);
        QCOMPARE(f->controller.GetFizEnergy(), 0.0);
    }

    // A ration file's group is what the window shows once the table it needs has arrived
    // (М→Ж, Ж→М, the same sex with its reply still due), and it is not chosen in a table
    // that comes after the replies ran out without one.
    void fileGroupOutlivesTheNormReplies()
    {
        QStringList shown;
        for (const auto& [fromWomen, women, tableComes] : {std::tuple{false, true, true},
                                                           {true, false, true},
                                                           {false, false, true},
                                                           {false, true, false}}) {
            f.emplace();
            window(); // its load asks for the men's table
            if (fromWomen) {
                f->control<QCheckBox>("cGirl")->click();
                for (qsizetype i = f->link.take().size(); i > 0; --i)
                    f->controller.receiveNorm(kNorms);
            }
            f->controller.chosenGroup().request({women, u"1,6"_s, u"18-29"_s});
            for (qsizetype i = f->link.take().size(); i > 0; --i)
                tableComes ? f->controller.receiveNorm(kNorms) : f->controller.noNormTable();
            if (!tableComes)
                f->controller.receiveNorm(kNorms); // a later table: its first entries
            shown << f->control<QComboBox>("cKFA")->currentText() + u' ' +
                         f->control<QComboBox>("cVozr")->currentText() +
                         (f->control<QCheckBox>("cGirl")->isChecked() ? u" Ж"_s : u" М"_s);
        }
        QCOMPARE(shown,
                 (QStringList{u"1,6 18-29 Ж"_s, u"1,6 18-29 М"_s, u"1,6 18-29 М"_s, u"1,4 18-29 Ж"_s}));
    }

    // The catalogue, the dish list, a composition, an empty norm table (which touches nothing).
    void firstTouchLoads()
    {
        const QString men = u"$Get_Man_Norm"_s;
        for (const auto& [reply, shown, sent] :
             {std::tuple{std::function<void(FitnessController&)>(
                             [](FitnessController& c) { c.form_Bases_Bl(u"Супы"_s); }),
                         true, QStringList{men, u"$GetDishes=Супы"_s}},
              {[](FitnessController& c) { c.form_Dishes_Bl(u"Борщ"_s); }, true, QStringList{men}},
              {[](FitnessController& c) { c.receiveComposition(kBorshch); }, false, QStringList{men}},
              {[](FitnessController& c) { c.receiveNorm(QString()); }, false, QStringList()}}) {
            f.emplace();
            FitnessController& c = f->controller;
            QCOMPARE(c.window(), nullptr);
            reply(c);
            QCOMPARE(f->link.sent, sent);
            QCOMPARE(c.window() != nullptr, !sent.isEmpty());
            QCOMPARE(c.window() && c.window()->isVisible(), shown);
        }
    }

    void closing()
    {
        FitnessController& c = f->controller; // a hidden window asks too
        c.receiveNorm(kNorms);
        c.receiveComposition(kBorshch);
        cAdd()->click();
        f->control<QPushButton>("cPrint")->click(); // no preview to open yet: nothing happens
        // The hooks reach the window loaded now and every one loaded later.
        int previews = 0;
        c.setPrintHandler([&] { ++previews; });
        f->control<QPushButton>("cPrint")->click();

        const QPointer<fEnergy> window = c.window();
        f->dialogs.expectBox(Dialogs::Answer::Yes);
        QVERIFY(window->close());
        QCOMPARE(f->dialogs.boxTexts(), QStringList{u"Закрыть всю программу?"_s});
        QCOMPARE(m_closeProgram, 1);
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
        cAdd()->click();
        QCOMPARE(c.recipeData().rationEntries().GetDishName(1), u"Борщ"_s);
        f->control<QPushButton>("cPrint")->click();
        QCOMPARE(previews, 2);
    }

    // The ration window opens once and closes with the window; the window tells the
    // group it shows, and cAdd follows the ration whoever changes it.
    void rationWindowAndGroup()
    {
        f->controller.receiveNorm(kNorms);
        QTest::mouseClick(f->control("cRation"), Qt::LeftButton);
        const QPointer<fRation> ration = window().rationWindow();
        QVERIFY(ration && ration->isVisible());
        QTest::mouseClick(f->control("cRation"), Qt::LeftButton);
        QCOMPARE(window().rationWindow(), ration.data());
        f->control<QComboBox>("cVozr")->setCurrentIndex(1);
        QCOMPARE(f->controller.chosenGroup().current().age, u"30-39"_s);

        RationEntries& entries = f->controller.recipeData().rationEntries();
        entries.replace(QStringList(2, kBorshch));
        QCOMPARE(cAdd()->text(), u"Добавить (2)"_s);
        entries.reset();
        QCOMPARE(cAdd()->text(), u"Добавить"_s);
        f->dialogs.expectBox(Dialogs::Answer::No); // "Закрыть всю программу?"
        window().close();
        QVERIFY(!ration->isVisible());
    }
};

QTEST_MAIN(TestfEnergy)
#include "TestfEnergy.moc"
