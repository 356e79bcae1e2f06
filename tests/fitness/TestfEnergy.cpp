#include "ErrorBox.h"
#include "FitnessController.h"
#include "RecordingLink.h"
#include "ScriptedDialogs.h"
#include "Settings.h"
#include "TempSettings.h"
#include "fEnergy.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
const QString kFullLine = u"Белки-10,0г, Жиры-5,0г, Углеводы-50,0г, Калорийность-284ккал"_qs;
const QString kHalfLine = u"Белки-5,0г, Жиры-2,5г, Углеводы-25,0г, Калорийность-142ккал"_qs;

QString userError(const QString& message)
{
    return errorBoxText(message, QString(), QString(), 0);
}

QString normRow(const QString& group, const QString& kfa, const QString& age, const QString& energy)
{
    return u"x<Sc>"_qs + group + u"<Sc>"_qs + kfa + u"<Sc>"_qs + age + u"<Sc>"_qs + energy;
}

const QString kMenNorms = QStringList{normRow(u"I"_qs, u"1,4"_qs, u"18-29"_qs, u"2450"_qs),
                                      normRow(u"I"_qs, u"1,4"_qs, u"30-39"_qs, u"2300"_qs),
                                      normRow(u"II"_qs, u"1,6"_qs, u"18-29"_qs, u"2800"_qs),
                                      normRow(u"I"_qs, u"1,4"_qs, u"40-59"_qs, u"2100"_qs)}
                              .join(u"<Str>"_qs);

QStringList entries(const QListWidget* list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts << list->item(i)->text();
    return texts;
}

QStringList entries(const QComboBox* combo)
{
    QStringList texts;
    for (int i = 0; i < combo->count(); ++i)
        texts << combo->itemText(i);
    return texts;
}

// QTest's key helpers know only Latin-1; Cyrillic keys go through here.
void cyrillicKey(QWidget* widget, char16_t letter, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    const QChar upper = QChar(letter).toUpper();
    const QString text = modifiers & Qt::AltModifier ? QString() : QString(QChar(letter));
    QTest::sendKeyEvent(QTest::Press, widget, Qt::Key(upper.unicode()), text, modifiers);
    QTest::sendKeyEvent(QTest::Release, widget, Qt::Key(upper.unicode()), text, modifiers);
}

void clickItem(QListWidget* list, int row)
{
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(row)).center());
}

} // namespace

class TestfEnergy : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TempSettings> m_settings;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
    std::unique_ptr<RecordingLink> m_link;
    std::unique_ptr<FitnessController> m_controller;

    fEnergy& window() { return m_controller->energy(); }
    template <typename T> T* control(const char* name)
    {
        T* widget = window().findChild<T*>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no control %s", name);
        return widget;
    }
    QListWidget* lBases() { return control<QListWidget>("lBases"); }
    QListWidget* lDishes() { return control<QListWidget>("lDishes"); }
    QLineEdit* tOut() { return control<QLineEdit>("tOut"); }
    QLabel* lHS() { return control<QLabel>("lHS"); }
    QPushButton* cAdd() { return control<QPushButton>("cAdd"); }
    QCheckBox* cMan() { return control<QCheckBox>("cMan"); }
    QCheckBox* cGirl() { return control<QCheckBox>("cGirl"); }
    QComboBox* cKFA() { return control<QComboBox>("cKFA"); }
    QComboBox* cVozr() { return control<QComboBox>("cVozr"); }
    const RationEntries& ration() const { return m_controller->recipeData().rationEntries(); }

    // The window shown and active, so that focus and keys behave as for a user.
    void showActive()
    {
        window().show();
        window().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window()));
    }

    // A loaded dish ("Борщ", 200 g) in a shown window, requests forgotten.
    void loadBorshch()
    {
        m_controller->form_Bases_Bl(u"Супы"_qs);
        m_controller->form_Dishes_Bl(u"Борщ"_qs);
        m_controller->receiveComposition(kBorshch);
        m_link->takeSent();
    }

    // Types into tOut in place of its text, as a user selecting it all would.
    void typeWeight(const QString& text)
    {
        tOut()->selectAll();
        QTest::keyClicks(tOut(), text);
    }

private slots:
    void init()
    {
        m_settings = std::make_unique<TempSettings>();
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_link = std::make_unique<RecordingLink>();
        m_controller = std::make_unique<FitnessController>(*m_link);
    }

    void cleanup()
    {
        m_controller.reset();
        QCOMPARE(m_dialogs->pending(), 0);
        m_dialogs.reset();
        m_link.reset();
        m_settings.reset();
    }

    // ---- Controls ------------------------------------------------------

    void controlsAsDesigned()
    {
        QCOMPARE(window().windowTitle(), u"Запрос калорийности с сервера"_qs);
        QVERIFY(!window().windowIcon().isNull());
        QCOMPARE(cMan()->text(), u"&М"_qs);
        QCOMPARE(cMan()->toolTip(), u"Мужчины"_qs);
        QVERIFY(cMan()->isChecked());
        QCOMPARE(cGirl()->text(), u"&Ж"_qs);
        QCOMPARE(cGirl()->toolTip(), u"Женщины"_qs);
        QVERIFY(!cGirl()->isChecked());
        QCOMPARE(control<QLabel>("lKFA")->text(), u"&КФА"_qs);
        QCOMPARE(control<QLabel>("lKFA")->buddy(), cKFA());
        QCOMPARE(cKFA()->toolTip(), u"Коэффициент физической активности"_qs);
        QVERIFY(!cKFA()->isEditable());
        QCOMPARE(control<QLabel>("lVozr")->text(), u"&Возраст"_qs);
        QCOMPARE(control<QLabel>("lVozr")->buddy(), cVozr());
        QCOMPARE(cVozr()->toolTip(), u"Возраст"_qs);
        QVERIFY(!cVozr()->isEditable());
        QCOMPARE(lBases()->property("Tag").toString(), u"lFindBB"_qs);
        QCOMPARE(lDishes()->property("Tag").toString(), u"lFindD"_qs);
        for (const char* name : {"lFindBB", "lFindD"}) {
            QCOMPARE(control<QLabel>(name)->text(), QString(26, u' '));
            QCOMPARE(control<QLabel>(name)->property("Tag").toString(), QString());
        }
        QCOMPARE(control<QLabel>("lOut")->text(), u"В&ыход"_qs);
        QCOMPARE(control<QLabel>("lOut")->buddy(), tOut());
        QCOMPARE(tOut()->text(), QString());
        QCOMPARE(control<QPushButton>("cClear")->text(), u"&Х"_qs);
        QCOMPARE(lHS()->text(), QString());
        QVERIFY(lHS()->wordWrap());
        QCOMPARE(lHS()->textFormat(), Qt::PlainText);
        QCOMPARE(cAdd()->text(), u"&Добавить"_qs);
        QCOMPARE(control<QPushButton>("cClearall")->text(), u"&Очистить"_qs);
        QCOMPARE(control<QPushButton>("cPrint")->text(), u"&Печать"_qs);
    }

    void mnemonics_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("letter");
        QTest::newRow("cMan") << u"cMan"_qs << 0x041C;           // М
        QTest::newRow("cGirl") << u"cGirl"_qs << 0x0416;         // Ж
        QTest::newRow("lKFA") << u"lKFA"_qs << 0x041A;           // К
        QTest::newRow("lVozr") << u"lVozr"_qs << 0x0412;         // В
        QTest::newRow("lOut") << u"lOut"_qs << 0x042B;           // Ы
        QTest::newRow("cClear") << u"cClear"_qs << 0x0425;       // Х
        QTest::newRow("cAdd") << u"cAdd"_qs << 0x0414;           // Д
        QTest::newRow("cClearall") << u"cClearall"_qs << 0x041E; // О
        QTest::newRow("cPrint") << u"cPrint"_qs << 0x041F;       // П
    }
    void mnemonics()
    {
        QFETCH(QString, name);
        QFETCH(int, letter);
        QWidget* widget = window().findChild<QWidget*>(name);
        QVERIFY(widget);
        const QString text = widget->property("text").toString();
        QCOMPARE(QKeySequence::mnemonic(text),
                 QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(letter))));
    }

    void mnemonicsReachTheirControls()
    {
        showActive();
        cyrillicKey(&window(), u'Ы', Qt::AltModifier); // a label hands the focus to its buddy
        QCOMPARE(QApplication::focusWidget(), tOut());
        cyrillicKey(&window(), u'К', Qt::AltModifier);
        QCOMPARE(QApplication::focusWidget(), cKFA());
        // A button's mnemonic presses it at once and clicks it a moment later.
        m_dialogs->expectBox();
        cyrillicKey(&window(), u'Д', Qt::AltModifier);
        QVERIFY(cAdd()->isDown());
        QTRY_COMPARE(m_dialogs->boxTexts(), QStringList{u"Не загружена рецептура!"_qs});
    }

    void tabOrder()
    {
        showActive();
        cMan()->setFocus();
        const QStringList expected{u"cGirl"_qs,     u"cKFA"_qs,   u"cVozr"_qs,  u"lBases"_qs,
                                   u"lDishes"_qs,   u"tOut"_qs,   u"cClear"_qs, u"cAdd"_qs,
                                   u"cClearall"_qs, u"cPrint"_qs, u"cMan"_qs};
        for (const QString& next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), next);
        }
    }

    void fontFromTheSetting_data()
    {
        QTest::addColumn<QString>("stored"); // "-" for no stored value
        QTest::addColumn<double>("points");
        QTest::newRow("none") << u"-"_qs << 24.0;
        QTest::newRow("twelve") << u"12"_qs << 12.0;
        QTest::newRow("decimal comma") << u"10,5"_qs << 10.5;
        QTest::newRow("not a number") << u"abc"_qs << 24.0;
        QTest::newRow("zero") << u"0"_qs << 24.0;
    }
    void fontFromTheSetting()
    {
        QFETCH(QString, stored);
        QFETCH(double, points);
        if (stored != u"-"_qs)
            Setting::FontSize.set(stored);
        for (const char* name :
             {"cMan", "cKFA", "lBases", "lDishes", "lFindBB", "tOut", "lHS", "cAdd", "cPrint"})
            QCOMPARE(control<QWidget>(name)->font().pointSizeF(), points);
        // Captions size themselves to the font.
        QLabel* lKFA = control<QLabel>("lKFA");
        QCOMPARE(lKFA->width(), lKFA->sizeHint().width());
    }

    void windowStateFromTheSetting_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("state");
        QTest::newRow("normal") << u"0"_qs << int(Qt::WindowNoState);
        QTest::newRow("minimised") << u"1"_qs << int(Qt::WindowMinimized);
        QTest::newRow("maximised") << u"2"_qs << int(Qt::WindowMaximized);
        QTest::newRow("other number") << u"7"_qs << int(Qt::WindowNoState);
        QTest::newRow("not a number") << u"max"_qs << int(Qt::WindowNoState);
    }
    void windowStateFromTheSetting()
    {
        QFETCH(QString, stored);
        QFETCH(int, state);
        Setting::ResizeStatus.set(stored);
        QCOMPARE(int(window().windowState()), state);
    }

    void layoutFollowsTheSize()
    {
        showActive();
        // The figures below are the design's worked example at 96 dpi.
        QCOMPARE(window().logicalDpiY(), 96);
        // The rules take the outer size, frame included: 11520 x 8100 twips.
        const QSize frame = window().frameGeometry().size() - window().size();
        const auto resizeOuter = [&](int width, int height) {
            window().resize(QSize(width, height) - frame);
        };
        resizeOuter(768, 540);
        QCOMPARE(window().frameGeometry().size(), QSize(768, 540));
        QCOMPARE(lBases()->geometry(), QRect(0, 56, 256, 217));
        QCOMPARE(lDishes()->geometry(), QRect(263, 56, 492, 217));
        QCOMPARE(control<QLabel>("lFindBB")->pos(), QPoint(0, 277));
        QCOMPARE(control<QLabel>("lFindD")->pos(), QPoint(263, 277));
        QCOMPARE(control<QPushButton>("cPrint")->geometry(), QRect(522, 444, 233, 49));
        QCOMPARE(control<QPushButton>("cClearall")->pos(), QPoint(522, 395));
        QCOMPARE(cAdd()->pos(), QPoint(522, 346));
        // lFindBB sits 50 twips under the list, 4150 twips down, as high as
        // its font makes it; tOut and lOut 100 twips under it, lHS 20 under tOut.
        QLabel* lFindBB = control<QLabel>("lFindBB");
        QLabel* lOut = control<QLabel>("lOut");
        const double tOutTop = 4150 + lFindBB->height() * 15 + 100;
        QCOMPARE(tOut()->geometry().topLeft(), QPoint(lOut->width(), qRound(tOutTop / 15)));
        QCOMPARE(lOut->y(), tOut()->y());
        // Not the first layout: 7725 twips wide; under tOut, down to 800 twips
        // above the bottom.
        QCOMPARE(lHS()->x(), 0);
        QCOMPARE(lHS()->width(), 515);
        QCOMPARE(lHS()->y(), qRound((tOutTop + 615 + 20) / 15));
        // The caption labels size themselves; their neighbours follow them.
        QLabel* lKFA = control<QLabel>("lKFA");
        QCOMPARE(cKFA()->x(), lKFA->x() + lKFA->width() + 2); // 30 twips
        QCOMPARE(control<QPushButton>("cClear")->x(), tOut()->x() + tOut()->width());

        // Wider by 300 twips: the collection list takes a third of it, the
        // dish list two thirds, the buttons move along.
        resizeOuter(788, 540);
        QCOMPARE(lBases()->width(), 263);
        QCOMPARE(lDishes()->width(), 505);
        QCOMPARE(control<QPushButton>("cPrint")->x(), 542);

        // Too low for the lists: their rule is skipped and they keep their size.
        resizeOuter(788, 300);
        QCOMPARE(lBases()->height(), 217);
        QCOMPARE(control<QPushButton>("cPrint")->y(), 204); // (4500 - 735 - 700) twips
    }

    void searchLabelsFollowTheirCaption()
    {
        showActive();
        QLabel* lFindD = control<QLabel>("lFindD");
        const int blanks = lFindD->width();
        lFindD->setText(u"Котлета рубленая из говядины с картофельным пюре"_qs);
        QCoreApplication::sendPostedEvents(&window(), QEvent::LayoutRequest);
        QVERIFY(lFindD->width() > blanks);
        QCOMPARE(lFindD->size(), lFindD->sizeHint());
        // The next layout keeps the size the caption gave it.
        window().resize(window().size() + QSize(30, 0));
        QCOMPARE(lFindD->size(), lFindD->sizeHint());
    }

    void smallerFontNarrowsTheCaptions()
    {
        Setting::FontSize.set(u"12"_qs);
        showActive();
        QLabel* lKFA = control<QLabel>("lKFA");
        QVERIFY(lKFA->width() < 67); // its design width at 24 pt
        QCOMPARE(cKFA()->x(), lKFA->x() + lKFA->width() + 2);
    }

    // ---- Catalogue -----------------------------------------------------

    void catalogueFillsSelectsAndShows()
    {
        m_controller->form_Bases_Bl(u"Хлеб<TB>12<TB>x<EB>Супы"_qs);
        QCOMPARE(entries(lBases()), (QStringList{u"Хлеб"_qs, u"Супы"_qs}));
        QCOMPARE(lBases()->currentRow(), 0);
        QVERIFY(window().isVisible());
        QCOMPARE(m_link->takeSent(), (QStringList{u"$Get_Man_Norm"_qs, u"$GetDishes=Хлеб"_qs}));
        QCOMPARE(m_link->status, QStringList{u"Отправили запрос на физиологические нормы для мужчин..."_qs});

        // A later catalogue replaces the list and asks again for its first entry.
        m_controller->form_Bases_Bl(u"Напитки"_qs);
        QCOMPARE(entries(lBases()), QStringList{u"Напитки"_qs});
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetDishes=Напитки"_qs});
    }

    void emptyCatalogueRequestsNothing()
    {
        m_controller->form_Bases_Bl(u"Хлеб"_qs);
        m_link->takeSent();
        m_controller->form_Bases_Bl(QString());
        QCOMPARE(lBases()->count(), 0);
        QVERIFY(m_link->takeSent().isEmpty());
        QVERIFY(window().isVisible());
    }

    void emptyRecordIsReportedOnce()
    {
        m_dialogs->expectBox();
        m_controller->form_Bases_Bl(u"А<EB><EB>Б"_qs);
        QCOMPARE(m_dialogs->boxes().size(), 1);
        const Dialogs::Box box = m_dialogs->boxes().first();
        QVERIFY(box.text.startsWith(u"Ошибка выполнения функции.\r"_qs));
        QVERIFY(box.text.contains(u"\rDish_Cli\rform_Bases_Bl\rКод: "_qs));
        QCOMPARE(box.title, u"Ventaro"_qs);
        QCOMPARE(box.icon, Dialogs::Icon::Critical);
        QCOMPARE(entries(lBases()), (QStringList{u"А"_qs, u"Б"_qs}));
        QCOMPARE(lBases()->currentRow(), 0);
        QCOMPARE(m_link->takeSent().last(), u"$GetDishes=А"_qs);
    }

    void dishesFillWithoutSelecting()
    {
        m_controller->form_Dishes_Bl(u"Батон<BL>"_qs);
        QCOMPARE(entries(lDishes()), (QStringList{u"Батон"_qs, QString()}));
        QVERIFY(lDishes()->isEnabled());
        QVERIFY(lDishes()->selectedItems().isEmpty());
        QVERIFY(window().isVisible());
        QCOMPARE(m_link->takeSent(), QStringList{u"$Get_Man_Norm"_qs}); // the load only

        m_controller->form_Dishes_Bl(QString());
        QCOMPARE(lDishes()->count(), 0);
        QVERIFY(lDishes()->isEnabled());
    }

    void noDishesMarker_data()
    {
        QTest::addColumn<QString>("marker");
        QTest::newRow("upper") << u"$NO_DISHES"_qs;
        QTest::newRow("lower") << u"$no_dishes"_qs;
        QTest::newRow("mixed") << u"$No_Dishes"_qs;
    }
    void noDishesMarker()
    {
        QFETCH(QString, marker);
        m_controller->form_Dishes_Bl(marker);
        QCOMPARE(entries(lDishes()), QStringList{u"База не содержит рецептур"_qs});
        QVERIFY(!lDishes()->isEnabled());
        QVERIFY(!window().isVisible()); // the marker alone does not show the window
        m_controller->form_Dishes_Bl(u"Батон"_qs);
        QCOMPARE(entries(lDishes()), QStringList{u"Батон"_qs});
        QVERIFY(lDishes()->isEnabled());
        QVERIFY(window().isVisible());
    }

    void clicksAskForDishesAndCompositions()
    {
        m_controller->form_Bases_Bl(u"Хлеб<EB>Супы"_qs);
        showActive();
        m_link->takeSent();
        clickItem(lBases(), 1);
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetDishes=Супы"_qs});
        m_controller->form_Dishes_Bl(u"Борщ<BL>Щи"_qs);
        clickItem(lDishes(), 1);
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetHSDishes=Супы<Str>Щи"_qs});
        // Selecting by code is a click as well; the keyboard too.
        lDishes()->setCurrentRow(0);
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetHSDishes=Супы<Str>Борщ"_qs});
        QTest::keyClick(lDishes(), Qt::Key_Down);
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetHSDishes=Супы<Str>Щи"_qs});
        // Clicking the entry already selected changes nothing and asks nothing.
        clickItem(lDishes(), 1);
        QVERIFY(m_link->takeSent().isEmpty());
    }

    void dishWithoutCollectionIsRefused()
    {
        m_controller->form_Dishes_Bl(u"Батон"_qs);
        m_link->takeSent();
        m_dialogs->expectBox();
        lDishes()->setCurrentRow(0);
        QCOMPARE(m_dialogs->boxTexts(), QStringList{userError(u"Необходимо выбрать группу!"_qs)});
        QCOMPARE(m_dialogs->boxes().first().title, u"Ventaro"_qs);
        QVERIFY(m_link->takeSent().isEmpty());
    }

    void typingSearchesTheLists()
    {
        m_controller->form_Bases_Bl(u"Хлеб<EB>Супы<EB>Напитки"_qs);
        m_controller->form_Dishes_Bl(u"Борщ<BL>Щи<BL>Суп гороховый"_qs);
        showActive();
        m_link->takeSent();
        QLabel* lFindBB = control<QLabel>("lFindBB");
        QLabel* lFindD = control<QLabel>("lFindD");

        lBases()->setFocus();
        cyrillicKey(lBases(), u'у');
        QCOMPARE(lBases()->currentItem()->text(), u"Супы"_qs);
        QCOMPARE(lFindBB->text(), u"У"_qs);
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetDishes=Супы"_qs}); // as a click
        QTest::keyClick(lBases(), Qt::Key_Escape);
        QCOMPARE(lBases()->currentItem()->text(), u"Хлеб"_qs);
        QCOMPARE(lFindBB->text(), QString());
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetDishes=Хлеб"_qs});

        // Enter still belongs to the window; the dish list has a search of its own.
        cyrillicKey(lBases(), u'н');
        QTest::keyClick(lBases(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), lDishes());
        m_link->takeSent();
        cyrillicKey(lDishes(), u'г');
        QCOMPARE(lDishes()->currentItem()->text(), u"Суп гороховый"_qs);
        QCOMPARE(m_link->takeSent(), QStringList{u"$GetHSDishes=Напитки<Str>Суп гороховый"_qs});
        QCOMPARE(lFindD->text(), u"Г"_qs);
        QCOMPARE(lFindBB->text(), u"Н"_qs);

        // Coming back to a list starts its search afresh.
        lBases()->setFocus();
        QCOMPARE(lFindBB->text(), QString());
    }

    // ---- Composition ---------------------------------------------------

    void compositionFollowsTheWeight()
    {
        loadBorshch();
        QCOMPARE(tOut()->text(), u"200"_qs);
        QCOMPARE(lHS()->text(), kFullLine);
        typeWeight(u"100"_qs);
        QCOMPARE(tOut()->text(), u"100"_qs);
        QCOMPARE(lHS()->text(), kHalfLine);
        // A new composition shows its own weight, whatever was typed.
        m_controller->receiveComposition(u"1<Sc>1<Sc>1<Sc>1<Str>Чай<Sc>150/50"_qs);
        QCOMPARE(tOut()->text(), u"150/50"_qs);
        QCOMPARE(lHS()->text(), u"Белки-1,0г, Жиры-1,0г, Углеводы-2,0г, Калорийность-21ккал"_qs);
        typeWeight(u"100"_qs);
        QCOMPARE(lHS()->text(), u"Белки-0,5г, Жиры-0,5г, Углеводы-1,0г, Калорийность-10ккал"_qs);
    }

    void emptyingTheWeightPutsTheRecipeWeightBack()
    {
        loadBorshch();
        typeWeight(u"100"_qs);
        QSignalSpy changes(tOut(), &QLineEdit::textChanged);
        tOut()->setText(QString());
        QCOMPARE(tOut()->text(), u"200"_qs);
        QCOMPARE(lHS()->text(), kFullLine);
        // "" then "200": the second write, of the text the box holds, raised nothing.
        QCOMPARE(changes.size(), 2);
    }

    void writingTheSameTextRaisesNothing()
    {
        loadBorshch();
        QSignalSpy changes(tOut(), &QLineEdit::textChanged);
        tOut()->setText(tOut()->text());
        QCOMPARE(changes.size(), 0);
        // An arrival re-enters through the change handler exactly once.
        m_controller->receiveComposition(u"1<Sc>1<Sc>1<Sc>1<Str>Чай<Sc>10"_qs);
        QCOMPARE(changes.size(), 1);
        m_controller->receiveComposition(u"2<Sc>1<Sc>1<Sc>1<Str>Кофе<Sc>10"_qs);
        QCOMPARE(changes.size(), 1);
        QCOMPARE(lHS()->text(), u"Белки-2,0г, Жиры-1,0г, Углеводы-2,0г, Калорийность-25ккал"_qs);
    }

    void clearButtonRefillsFocusesAndSelects()
    {
        loadBorshch();
        showActive();
        typeWeight(u"100"_qs);
        QTest::mouseClick(control<QPushButton>("cClear"), Qt::LeftButton);
        QCOMPARE(tOut()->text(), u"200"_qs);
        QCOMPARE(lHS()->text(), kFullLine);
        QCOMPARE(QApplication::focusWidget(), tOut());
        QCOMPARE(tOut()->selectedText(), u"200"_qs);
    }

    void weightChangeWithoutCompositionIsReportedEachTime()
    {
        m_dialogs->expectBox();
        m_dialogs->expectBox();
        tOut()->setText(u"1"_qs);
        tOut()->setText(u"12"_qs);
        QCOMPARE(m_dialogs->boxTexts(), (QStringList{userError(u"Рецептура не загружена"_qs),
                                                     userError(u"Рецептура не загружена"_qs)}));
        QCOMPARE(tOut()->text(), u"12"_qs);
        QCOMPARE(lHS()->text(), QString());
    }

    void emptyCompositionLeavesNothingToAdd()
    {
        loadBorshch();
        m_dialogs->expectBox();
        m_controller->receiveComposition(QString());
        QCOMPARE(m_dialogs->boxTexts(), QStringList{userError(u"Рецептура не загружена"_qs)});
        QVERIFY(m_controller->recipeData().CurrentHS().isEmpty());
        QCOMPARE(tOut()->text(), u"200"_qs); // unchanged
        m_dialogs->expectBox();
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxes().last().text, u"Не загружена рецептура!"_qs);
        QCOMPARE(m_dialogs->boxes().last().title, u"Quorvel"_qs);
        QCOMPARE(m_dialogs->boxes().last().icon, Dialogs::Icon::None);
        QVERIFY(ration().isEmpty());
    }

    void compositionThatCannotBeLoaded_data()
    {
        QTest::addColumn<QString>("composition");
        QTest::newRow("one row") << u"10<Sc>5<Sc>20<Sc>30"_qs;
        QTest::newRow("three values") << u"10<Sc>5<Sc>20<Str>Борщ<Sc>200"_qs;
        QTest::newRow("value not a number") << u"10<Sc>пять<Sc>20<Sc>30<Str>Борщ<Sc>200"_qs;
        QTest::newRow("weight not a number") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>2,0,0"_qs;
        QTest::newRow("weight sums to 0") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>0/0"_qs;
        QTest::newRow("no weight") << u"10<Sc>5<Sc>20<Sc>30<Str>Борщ"_qs;
    }
    void compositionThatCannotBeLoaded()
    {
        QFETCH(QString, composition);
        loadBorshch();
        QTest::mouseClick(cAdd(), Qt::LeftButton); // one dish in
        const QString entry = ration().entry(1);

        m_dialogs->expectBox();
        m_controller->receiveComposition(composition);
        QCOMPARE(m_dialogs->boxTexts(), QStringList{userError(u"Ошибка загрузки рецептуры!"_qs)});
        QCOMPARE(m_controller->recipeData().CurrentHS(), composition);
        QCOMPARE(lHS()->text(), QString()); // the previous dish's line is gone

        // Editing the weight reports nothing more and shows nothing.
        typeWeight(u"150"_qs);
        QCOMPARE(m_dialogs->boxes().size(), 1);
        QCOMPARE(tOut()->text(), u"150"_qs);
        QCOMPARE(lHS()->text(), QString());

        // Adding it is refused and the ration stays as it was.
        m_dialogs->expectBox();
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxTexts().last(), userError(u"Ошибка загрузки рецептуры!"_qs));
        QCOMPARE(ration().upperBound(), 1);
        QCOMPARE(ration().entry(1), entry);

        // The next good composition works as ever.
        m_controller->receiveComposition(kBorshch);
        QCOMPARE(tOut()->text(), u"200"_qs);
        QCOMPARE(lHS()->text(), kFullLine);
    }

    void unreadableTypedWeightShowsNoLine()
    {
        loadBorshch();
        tOut()->setText(u"1,2,3"_qs); // pasted text is not filtered
        QCOMPARE(lHS()->text(), QString());
        typeWeight(u"100"_qs);
        QCOMPARE(lHS()->text(), kHalfLine);
    }

    // ---- Ration --------------------------------------------------------

    void addScalesToTheTypedWeight_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<double>("protein");
        QTest::newRow("composite weight summing to the recipe's") << u"150/50"_qs << 10.0;
        QTest::newRow("decimal comma") << u"20,5"_qs << 1.025;
    }
    void addScalesToTheTypedWeight()
    {
        QFETCH(QString, typed);
        QFETCH(double, protein);
        loadBorshch();
        typeWeight(typed);
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(cAdd()->text(), u"Добавить (1)"_qs);
        QCOMPARE(ration().upperBound(), 1);
        QCOMPARE(ration().GetDishName(1), u"Борщ"_qs);
        QCOMPARE(ration().GetDishWeight(1), typed);
        QCOMPARE(ration().GetDishProtein(1), protein);
    }

    void twentyFiveDishesAndNoMore()
    {
        loadBorshch();
        for (int i = 1; i <= 25; ++i) {
            QTest::mouseClick(cAdd(), Qt::LeftButton);
            QCOMPARE(cAdd()->text(), QStringLiteral("Добавить (%1)").arg(i));
        }
        const QString last = ration().entry(25);
        m_dialogs->expectBox();
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxTexts(),
                 QStringList{userError(u"Один отчет может содержать не больше 25 рецептур!"_qs)});
        QCOMPARE(m_dialogs->boxes().first().title, u"Ventaro"_qs);
        QCOMPARE(ration().upperBound(), 25);
        QCOMPARE(ration().entry(25), last);
        QCOMPARE(cAdd()->text(), u"Добавить (25)"_qs);
    }

    void clearAllEmptiesTheRation()
    {
        loadBorshch();
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>("cClearall"), Qt::LeftButton);
        QCOMPARE(cAdd()->text(), u"Добавить"_qs);
        QVERIFY(ration().isEmpty());
        typeWeight(u"100"_qs);
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(cAdd()->text(), u"Добавить (1)"_qs);
        QCOMPARE(ration().upperBound(), 1);
        QCOMPARE(ration().GetDishWeight(1), u"100"_qs);
    }

    void addWithAWeightThatCannotBeReadIsRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("two commas") << u"1,,5"_qs;
        QTest::newRow("zero") << u"0"_qs;
        QTest::newRow("zero parts") << u"0/0"_qs;
        QTest::newRow("letters pasted") << u"сто"_qs;
    }
    void addWithAWeightThatCannotBeReadIsRefused()
    {
        QFETCH(QString, typed);
        loadBorshch();
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        const QString entry = ration().entry(1);
        tOut()->setText(typed);
        m_dialogs->expectBox();
        QTest::mouseClick(cAdd(), Qt::LeftButton);
        QCOMPARE(m_dialogs->boxes().size(), 1);
        QVERIFY(m_dialogs->boxTexts().first().startsWith(u"Неверно указан выход блюда"_qs));
        QCOMPARE(ration().upperBound(), 1);
        QCOMPARE(ration().entry(1), entry);
        QCOMPARE(cAdd()->text(), u"Добавить (1)"_qs);
    }

    void enterKeys()
    {
        loadBorshch();
        showActive();
        tOut()->setFocus();
        QTest::keyClick(tOut(), Qt::Key_Return);
        QCOMPARE(ration().upperBound(), 1);
        QVERIFY(!ration().isEmpty());
        QCOMPARE(QApplication::focusWidget(), lBases());

        QTest::keyClick(lBases(), Qt::Key_Enter);
        QCOMPARE(QApplication::focusWidget(), lDishes());
        QCOMPARE(ration().upperBound(), 1);

        QTest::keyClick(lDishes(), Qt::Key_Return);
        QCOMPARE(ration().upperBound(), 2);
        QCOMPARE(QApplication::focusWidget(), lBases());
        QCOMPARE(cAdd()->text(), u"Добавить (2)"_qs);
    }

    void weightKeyFilter_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("result");
        QTest::newRow("digits") << u"15"_qs << u"20015"_qs;
        QTest::newRow("comma") << u","_qs << u"200,"_qs;
        QTest::newRow("slash") << u"/5"_qs << u"200/5"_qs;
        QTest::newRow("backslash") << u"\\"_qs << u"200\\"_qs;
        QTest::newRow("point") << u"."_qs << u"200"_qs;
        QTest::newRow("minus") << u"-"_qs << u"200"_qs;
        QTest::newRow("blank") << u" "_qs << u"200"_qs;
        QTest::newRow("letters") << u"ab"_qs << u"200"_qs;
    }
    void weightKeyFilter()
    {
        QFETCH(QString, typed);
        QFETCH(QString, result);
        loadBorshch();
        tOut()->deselect();
        tOut()->end(false);
        QTest::keyClicks(tOut(), typed);
        QCOMPARE(tOut()->text(), result);
        cyrillicKey(tOut(), u'ж');
        QCOMPARE(tOut()->text(), result);
    }

    void weightKeyFilterPassesEditingKeys()
    {
        loadBorshch();
        tOut()->end(false);
        QTest::keyClick(tOut(), Qt::Key_Backspace);
        QCOMPARE(tOut()->text(), u"20"_qs);
        QTest::keyClick(tOut(), Qt::Key_Home);
        QTest::keyClick(tOut(), Qt::Key_Delete);
        QCOMPARE(tOut()->text(), u"0"_qs);
        QTest::keyClick(tOut(), Qt::Key_Escape);
        QCOMPARE(tOut()->text(), u"0"_qs);
    }

    // ---- Sex and group -------------------------------------------------

    void sexBoxesTakeTurns()
    {
        window();
        QCOMPARE(m_link->takeSent(), QStringList{u"$Get_Man_Norm"_qs});
        QCOMPARE(m_link->status.size(), 1);

        // Each box's handler runs the other's when it flips it, and both ask.
        QTest::mouseClick(cGirl(), Qt::LeftButton);
        QVERIFY(cGirl()->isChecked());
        QVERIFY(!cMan()->isChecked());
        QCOMPARE(m_link->takeSent(), (QStringList{u"$Get_Girl_Norm"_qs, u"$Get_Girl_Norm"_qs}));
        QCOMPARE(m_link->status.last(), u"Отправили запрос на физиологические нормы для женщин..."_qs);

        QTest::mouseClick(cMan(), Qt::LeftButton);
        QVERIFY(cMan()->isChecked());
        QVERIFY(!cGirl()->isChecked());
        QCOMPARE(m_link->takeSent(), (QStringList{u"$Get_Man_Norm"_qs, u"$Get_Man_Norm"_qs}));

        // Unticking the ticked box ticks the other one.
        QTest::mouseClick(cMan(), Qt::LeftButton);
        QVERIFY(!cMan()->isChecked());
        QVERIFY(cGirl()->isChecked());
        QCOMPARE(m_link->takeSent(), (QStringList{u"$Get_Girl_Norm"_qs, u"$Get_Girl_Norm"_qs}));
    }

    void normListsAndTheChosenGroup()
    {
        m_controller->receiveNorm(kMenNorms);
        QCOMPARE(entries(cKFA()), (QStringList{u"1,4"_qs, u"1,6"_qs}));
        QCOMPARE(cKFA()->currentIndex(), 0);
        QCOMPARE(entries(cVozr()), (QStringList{u"18-29"_qs, u"30-39"_qs, u"40-59"_qs}));
        QCOMPARE(cVozr()->currentIndex(), 0);
        QCOMPARE(window().GetFullGroup(), u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_qs);
        QCOMPARE(window().GetFizEnergy(), 2450.0);
        QCOMPARE(m_controller->GetFullGroup(), window().GetFullGroup());
        QCOMPARE(m_controller->GetFizEnergy(), 2450.0);

        cVozr()->setCurrentIndex(1);
        QCOMPARE(window().GetFizEnergy(), 2300.0);
        cKFA()->setCurrentIndex(1); // a choice of coefficient rebuilds the ages
        QCOMPARE(entries(cVozr()), QStringList{u"18-29"_qs});
        QCOMPARE(window().GetFullGroup(), u"Мужчины II (1,6), 18-29 лет (2800 ккал)"_qs);
        QCOMPARE(window().GetFizEnergy(), 2800.0);

        // The boxes already show the other sex while the old table is loaded.
        QTest::mouseClick(cGirl(), Qt::LeftButton);
        QCOMPARE(window().GetFullGroup(), u"Женщины II (1,6), 18-29 лет (2800 ккал)"_qs);

        // A reply arriving again rebuilds the same lists with the first choice.
        m_controller->receiveNorm(kMenNorms);
        QCOMPARE(entries(cKFA()), (QStringList{u"1,4"_qs, u"1,6"_qs}));
        QCOMPARE(cKFA()->currentText(), u"1,4"_qs);
        QCOMPARE(cVozr()->currentText(), u"18-29"_qs);
        QCOMPARE(m_controller->sNorm(), kMenNorms);
    }

    void normTableWithATrailingSeparator()
    {
        m_controller->receiveNorm(kMenNorms + u"<Str>"_qs);
        QCOMPARE(entries(cKFA()), (QStringList{u"1,4"_qs, u"1,6"_qs}));
        QCOMPARE(entries(cVozr()), (QStringList{u"18-29"_qs, u"30-39"_qs, u"40-59"_qs}));
    }

    void unreadableNormTableIsReportedOnce()
    {
        m_controller->receiveNorm(kMenNorms);
        m_dialogs->expectBox();
        m_controller->receiveNorm(u"x<Sc>y<Str><Str>"_qs);
        QCOMPARE(m_dialogs->boxes().size(), 1);
        const Dialogs::Box box = m_dialogs->boxes().first();
        QCOMPARE(box.text, u"Ошибка загрузки главного массива физиологических норм!"_qs);
        QCOMPARE(box.title, u"Quorvel"_qs);
        QCOMPARE(box.icon, Dialogs::Icon::None);
        QCOMPARE(box.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(cKFA()->count(), 0);
        QCOMPARE(cVozr()->count(), 0);
        QCOMPARE(window().GetFullGroup(), u"Мужчины "_qs);
        QCOMPARE(window().GetFizEnergy(), 0.0);
    }

    void noTableMeansSexWordAndNoNeed()
    {
        QCOMPARE(m_controller->GetFullGroup(), QString()); // no window, no choice
        QCOMPARE(m_controller->GetFizEnergy(), 0.0);
        QCOMPARE(window().GetFullGroup(), u"Мужчины "_qs);
        QCOMPARE(window().GetFizEnergy(), 0.0);
        QTest::mouseClick(cGirl(), Qt::LeftButton);
        QCOMPARE(window().GetFullGroup(), u"Женщины "_qs);
    }

    // ---- Print ---------------------------------------------------------

    void printOpensAPreviewPerClick()
    {
        int previews = 0;
        m_controller->setPrintHandler([&] { ++previews; });
        QPushButton* cPrint = control<QPushButton>("cPrint");
        QTest::mouseClick(cPrint, Qt::LeftButton);
        QTest::mouseClick(cPrint, Qt::LeftButton);
        QCOMPARE(previews, 2);
        m_controller->setPrintHandler({});
        QTest::mouseClick(cPrint, Qt::LeftButton); // nothing to open yet: nothing happens
        QCOMPARE(previews, 2);
    }
};

QTEST_MAIN(TestfEnergy)
#include "TestfEnergy.moc"
