#include "ListSearch.h"

#include "ScriptedDialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

namespace {

const QString Blanks26 = QString(26, u' ');

// A list that records the keys its own handling gets to see (modifier keys
// aside).
class SpyList final : public QListWidget
{
public:
    using QListWidget::QListWidget;
    QList<int> keysReached;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const int key = event->key();
        if (key != Qt::Key_Shift && key != Qt::Key_Control && key != Qt::Key_Alt && key != Qt::Key_Meta)
            keysReached.append(key);
        QListWidget::keyPressEvent(event);
    }
};

// The two searchable lists of the fitness window with their labels, and a
// text box to take the focus elsewhere.
struct SearchWindow
{
    QWidget window;
    SpyList* lBases = new SpyList(&window);
    SpyList* lDishes = new SpyList(&window);
    QLabel* lFindBB = new QLabel(Blanks26, &window);
    QLabel* lFindD = new QLabel(Blanks26, &window);
    QLineEdit* tOut = new QLineEdit(&window);

    SearchWindow()
    {
        lBases->setObjectName(u"lBases"_qs);
        lDishes->setObjectName(u"lDishes"_qs);
        lFindBB->setObjectName(u"lFindBB"_qs);
        lFindD->setObjectName(u"lFindD"_qs);
        tOut->setObjectName(u"tOut"_qs);
        lBases->setProperty("Tag", u"lFindBB"_qs);
        lDishes->setProperty("Tag", u"lFindD"_qs);
        lFindBB->setProperty("Tag", QString());
        lFindD->setProperty("Tag", QString());
        auto* layout = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{lBases, lDishes, lFindBB, lFindD, tOut})
            layout->addWidget(w);
        ListSearch::install(lBases);
        ListSearch::install(lDishes);
    }
};

QString searchText(const QLabel* label)
{
    return label->property("Tag").toString();
}

// Types text the way a keyboard does, one key per character, whatever script.
void type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(ch.toUpper().unicode()), QString(ch),
                            Qt::NoModifier);
}

// Steps of a walk: a character to type, or one of <Esc> <BS> <C-BS> <Up> <Down>.
void press(QWidget* widget, const QString& step)
{
    if (step == u"<Esc>"_qs)
        QTest::keyClick(widget, Qt::Key_Escape);
    else if (step == u"<BS>"_qs)
        QTest::keyClick(widget, Qt::Key_Backspace);
    else if (step == u"<C-BS>"_qs)
        QTest::keyClick(widget, Qt::Key_Backspace, Qt::ControlModifier);
    else if (step == u"<Up>"_qs)
        QTest::keyClick(widget, Qt::Key_Up);
    else if (step == u"<Down>"_qs)
        QTest::keyClick(widget, Qt::Key_Down);
    else
        type(widget, step);
}

QString currentText(const QListWidget* list)
{
    const QListWidgetItem* item = list->currentItem();
    return item ? item->text() : u"<none>"_qs;
}

QStringList texts(const QListWidget* list)
{
    QStringList out;
    for (int row = 0; row < list->count(); ++row)
        out.append(list->item(row)->text());
    return out;
}

} // namespace

class TestListSearch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SearchWindow> m_w;
    std::unique_ptr<ScriptedDialogs> m_dialogs;

    // Gives the list the focus as a user entering it would.
    bool enter(QWidget* widget, Qt::FocusReason reason = Qt::TabFocusReason)
    {
        widget->setFocus(reason);
        return QTest::qWaitFor([widget] { return QApplication::focusWidget() == widget; });
    }

private slots:
    void init()
    {
        m_dialogs = std::make_unique<ScriptedDialogs>();
        m_w = std::make_unique<SearchWindow>();
        m_w->window.show();
        m_w->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_w->window));
    }
    void cleanup()
    {
        m_w.reset();
        QVERIFY(m_dialogs->boxes().isEmpty()); // the search never shows a box
        m_dialogs.reset();
    }

    // Every walk starts in lBases with the given entries and current row.
    void walks_data()
    {
        QTest::addColumn<QStringList>("entries");
        QTest::addColumn<int>("startRow");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QList<int>>("keysReached");

        const QStringList bread{u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs};
        QTest::newRow("у selects Супы") << bread << 0 << QStringList{u"у"_qs} << 1 << u"У"_qs << QList<int>{};
        QTest::newRow("уп keeps Супы")
            << bread << 0 << QStringList{u"у"_qs, u"п"_qs} << 1 << u"Уп"_qs << QList<int>{};
        QTest::newRow("уп, Backspace")
            << bread << 0 << QStringList{u"у"_qs, u"п"_qs, u"<BS>"_qs} << 1 << u"У"_qs << QList<int>{};
        QTest::newRow("уп, Backspace, Escape")
            << bread << 0 << QStringList{u"у"_qs, u"п"_qs, u"<BS>"_qs, u"<Esc>"_qs} << 0 << QString()
            << QList<int>{};
        QTest::newRow("capital typed matches lower")
            << bread << 0 << QStringList{u"Н"_qs, u"А"_qs} << 2 << u"НА"_qs << QList<int>{};
        QTest::newRow("contained, not only at the start")
            << bread << 0 << QStringList{u"т"_qs, u"к"_qs} << 2 << u"Тк"_qs << QList<int>{};
        QTest::newRow("no entry contains it")
            << bread << 1 << QStringList{u"ж"_qs} << 1 << u"Ж"_qs << QList<int>{};
        QTest::newRow("longer search that no entry contains")
            << bread << 0 << QStringList{u"у"_qs, u"ж"_qs} << 1 << u"Уж"_qs << QList<int>{};
        QTest::newRow("Backspace back to a match")
            << bread << 0 << QStringList{u"с"_qs, u"ж"_qs, u"<BS>"_qs} << 1 << u"С"_qs << QList<int>{};
        QTest::newRow("Backspace to empty selects the first")
            << bread << 0 << QStringList{u"у"_qs, u"<BS>"_qs} << 0 << QString() << QList<int>{};
        QTest::newRow("Ctrl+Backspace to empty selects the first")
            << bread << 0 << QStringList{u"н"_qs, u"а"_qs, u"<C-BS>"_qs} << 0 << QString() << QList<int>{};
        QTest::newRow("Escape with an empty search is taken")
            << bread << 2 << QStringList{u"<Esc>"_qs} << 0 << QString() << QList<int>{};
        QTest::newRow("Backspace with an empty search reaches the list")
            << bread << 2 << QStringList{u"<BS>"_qs} << 2 << Blanks26 << QList<int>{Qt::Key_Backspace};
        QTest::newRow("Ctrl+Backspace with an empty search reaches the list")
            << bread << 2 << QStringList{u"<C-BS>"_qs} << 2 << Blanks26 << QList<int>{Qt::Key_Backspace};
        QTest::newRow("Escape, then Backspace reaches the list")
            << bread << 2 << QStringList{u"<Esc>"_qs, u"<BS>"_qs} << 0 << QString()
            << QList<int>{Qt::Key_Backspace};
        // The list's own first-letter jump would pick Компот; the search takes
        // the first entry containing к.
        QTest::newRow("the list never jumps by itself")
            << QStringList{u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs, u"Компот"_qs} << 0 << QStringList{u"к"_qs}
            << 2 << u"К"_qs << QList<int>{};
        QTest::newRow("empty list") << QStringList{} << -1 << QStringList{u"а"_qs, u"<Esc>"_qs} << -1
                                    << QString() << QList<int>{};
        QTest::newRow("Cyrillic case, ё included")
            << QStringList{u"ХЛЕБ РЖАНОЙ"_qs, u"ЁЖИК В ТУМАНЕ"_qs} << 0 << QStringList{u"ё"_qs, u"ж"_qs} << 1
            << u"Ёж"_qs << QList<int>{};
        QTest::newRow("Latin too") << QStringList{u"Хлеб"_qs, u"Pizza MARGHERITA"_qs} << 0
                                   << QStringList{u"m"_qs, u"a"_qs, u"r"_qs} << 1 << u"Mar"_qs
                                   << QList<int>{};
        QTest::newRow("blank is a character")
            << QStringList{u"Суп"_qs, u"Суп гороховый"_qs} << 0 << QStringList{u"п"_qs, u" "_qs} << 1
            << u"П "_qs << QList<int>{};
    }
    void walks()
    {
        QFETCH(QStringList, entries);
        QFETCH(int, startRow);
        QFETCH(QStringList, steps);
        QFETCH(int, row);
        QFETCH(QString, caption);
        QFETCH(QList<int>, keysReached);

        SpyList* list = m_w->lBases;
        list->addItems(entries);
        list->setCurrentRow(startRow);
        QVERIFY(enter(list));
        // Entering the list empties the label; start each walk from the design caption.
        m_w->lFindBB->setText(Blanks26);
        list->keysReached.clear();

        for (const QString& step : steps)
            press(list, step);

        QCOMPARE(list->currentRow(), row);
        QCOMPARE(m_w->lFindBB->text(), caption);
        QCOMPARE(searchText(m_w->lFindBB), caption == Blanks26 ? QString() : caption);
        QCOMPARE(list->keysReached, keysReached);
        QCOMPARE(m_w->lFindD->text(), Blanks26);
    }

    void selectionBySearchRunsTheClickHandling()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        list->setCurrentRow(0);
        QVERIFY(enter(list));
        QStringList requested;
        connect(list, &QListWidget::currentRowChanged, list,
                [&](int row) { requested.append(u"$GetDishes="_qs + list->item(row)->text()); });
        QSignalSpy selected(list, &QListWidget::itemSelectionChanged);

        type(list, u"у"_qs);      // Супы
        type(list, u"п"_qs);      // still Супы: nothing new to ask
        press(list, u"<Esc>"_qs); // Хлеб
        type(list, u"и"_qs);      // Напитки
        QCOMPARE(requested,
                 (QStringList{u"$GetDishes=Супы"_qs, u"$GetDishes=Хлеб"_qs, u"$GetDishes=Напитки"_qs}));
        QCOMPARE(selected.size(), 3);
        QVERIFY(list->item(2)->isSelected());
    }

    void arrowsJumpBetweenMatches_data()
    {
        QTest::addColumn<QString>("search");
        QTest::addColumn<int>("startRow");
        QTest::addColumn<QStringList>("arrows");
        QTest::addColumn<QList<int>>("rows");
        // 0 Хлеб, 1 Салат, 2 Супы, 3 Напитки, 4 Рассольник, 5 Чай, 6 Квас, 7 АНАНАС
        QTest::newRow("no search: plain steps down")
            << QString() << 0 << QStringList{u"<Down>"_qs, u"<Down>"_qs, u"<Down>"_qs} << QList<int>{1, 2, 3};
        QTest::newRow("no search: plain steps up")
            << QString() << 3 << QStringList{u"<Up>"_qs, u"<Up>"_qs} << QList<int>{2, 1};
        QTest::newRow("а: down skips Супы")
            << u"а"_qs << -1
            << QStringList{u"<Down>"_qs, u"<Down>"_qs, u"<Down>"_qs, u"<Down>"_qs, u"<Down>"_qs}
            << QList<int>{3, 4, 5, 6, 7};
        QTest::newRow("а: down at the last entry stays")
            << u"а"_qs << 7 << QStringList{u"<Down>"_qs} << QList<int>{7};
        QTest::newRow("а: up skips Супы, then the list's own step stands")
            << u"а"_qs << 3 << QStringList{u"<Up>"_qs, u"<Up>"_qs} << QList<int>{1, 0};
        QTest::newRow("АН, case ignored: down to АНАНАС")
            << u"ан"_qs << -1 << QStringList{u"<Down>"_qs} << QList<int>{7};
        QTest::newRow("ч: no match below, the list's own step stands")
            << u"ч"_qs << -1 << QStringList{u"<Down>"_qs, u"<Down>"_qs} << QList<int>{6, 7};
    }
    void arrowsJumpBetweenMatches()
    {
        QFETCH(QString, search);
        QFETCH(int, startRow);
        QFETCH(QStringList, arrows);
        QFETCH(QList<int>, rows);

        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Салат"_qs, u"Супы"_qs, u"Напитки"_qs, u"Рассольник"_qs, u"Чай"_qs,
                        u"Квас"_qs, u"АНАНАС"_qs});
        list->setCurrentRow(0);
        QVERIFY(enter(list));
        type(list, search);
        if (startRow >= 0)
            list->setCurrentRow(startRow);

        QList<int> seen;
        for (const QString& arrow : arrows) {
            press(list, arrow);
            seen.append(list->currentRow());
        }
        QCOMPARE(seen, rows);
        // The arrows reach the list and never change the search.
        QCOMPARE(list->keysReached.count(Qt::Key_Down) + list->keysReached.count(Qt::Key_Up), arrows.size());
        QCOMPARE(searchText(m_w->lFindBB),
                 search.isEmpty() ? QString() : search.left(1).toUpper() + search.mid(1));
    }

    void leavingAndComingBackForgetsTheSearch()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        list->setCurrentRow(0);
        QVERIFY(enter(list));
        type(list, u"су"_qs);
        QCOMPARE(m_w->lFindBB->text(), u"Су"_qs);

        QVERIFY(enter(m_w->tOut));
        QCOMPARE(m_w->lFindBB->text(), u"Су"_qs); // leaving alone changes nothing
        type(m_w->tOut, u"п"_qs);                 // typing elsewhere is not a search
        QCOMPARE(m_w->lFindBB->text(), u"Су"_qs);
        QCOMPARE(m_w->tOut->text(), u"п"_qs);

        QVERIFY(enter(list, Qt::MouseFocusReason));
        QCOMPARE(m_w->lFindBB->text(), QString());
        QCOMPARE(searchText(m_w->lFindBB), QString());
        QCOMPARE(list->currentRow(), 1); // coming back selects nothing by itself

        type(list, u"п"_qs); // a fresh search, not "Суп"
        QCOMPARE(m_w->lFindBB->text(), u"П"_qs);
        QCOMPARE(list->currentRow(), 1);
        type(list, u"и"_qs);
        QCOMPARE(list->currentRow(), 2);
    }

    void anotherWindowInBetweenKeepsTheSearch()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        QVERIFY(enter(list));
        type(list, u"на"_qs);

        QWidget other;
        other.show();
        other.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&other));
        m_w->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_w->window));
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(list));

        QCOMPARE(m_w->lFindBB->text(), u"На"_qs);
        type(list, u"п"_qs);
        QCOMPARE(m_w->lFindBB->text(), u"Нап"_qs);
        QCOMPARE(list->currentRow(), 2);
    }

    void theTwoListsSearchIndependently()
    {
        m_w->lBases->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        m_w->lDishes->addItems({u"Борщ"_qs, u"Щи"_qs, u"Чай с лимоном"_qs});
        QVERIFY(enter(m_w->lBases));
        type(m_w->lBases, u"су"_qs);
        QVERIFY(enter(m_w->lDishes));
        type(m_w->lDishes, u"лим"_qs);

        QCOMPARE(m_w->lFindBB->text(), u"Су"_qs);
        QCOMPARE(m_w->lFindD->text(), u"Лим"_qs);
        QCOMPARE(m_w->lBases->currentRow(), 1);
        QCOMPARE(m_w->lDishes->currentRow(), 2);

        press(m_w->lDishes, u"<Esc>"_qs);
        QCOMPARE(m_w->lFindD->text(), QString());
        QCOMPARE(m_w->lDishes->currentRow(), 0);
        QCOMPARE(m_w->lFindBB->text(), u"Су"_qs);
        QCOMPARE(searchText(m_w->lFindBB), u"Су"_qs);
        QCOMPARE(m_w->lBases->currentRow(), 1);
    }

    void enterIsLeftToTheWindow_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }
    void enterIsLeftToTheWindow()
    {
        QFETCH(int, key);
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs});
        QVERIFY(enter(list));
        type(list, u"с"_qs);
        QTest::keyClick(list, Qt::Key(key));
        QCOMPARE(list->keysReached, QList<int>{key});
        QCOMPARE(searchText(m_w->lFindBB), u"С"_qs);
    }

    void shortcutsAndTabAreNotTyping()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs});
        QVERIFY(enter(list));
        QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(list, Qt::Key_S, Qt::AltModifier);
        QCOMPARE(m_w->lFindBB->text(), Blanks26);
        QCOMPARE(list->keysReached, (QList<int>{Qt::Key_A, Qt::Key_S}));
        QTest::keyClick(list, Qt::Key_Tab);
        QCOMPARE(m_w->lFindBB->text(), Blanks26);
        QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_w->lDishes));
    }

    void typedMarkupStaysText()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"<b>Супы</b>"_qs});
        QVERIFY(enter(list));
        type(list, u"<b>"_qs);
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(m_w->lFindBB->text(), u"<b>"_qs);
        QCOMPARE(m_w->lFindBB->textFormat(), Qt::PlainText);
    }

    void searchTextIsBounded()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs});
        QVERIFY(enter(list));
        const QString longText(ListSearch::MaxSearchLength + 20, u'я');
        for (int i = 0; i < longText.size(); ++i) {
            int code = longText[i].unicode();
            FindKeyPress(code);
            QCOMPARE(code, 0);
        }
        QCOMPARE(searchText(m_w->lFindBB).size(), ListSearch::MaxSearchLength);
        int backspace = ListSearch::KeyBackspace;
        FindKeyPress(backspace);
        QCOMPARE(searchText(m_w->lFindBB).size(), ListSearch::MaxSearchLength - 1);
    }

    void characterOutsideTheBasicPlaneIsOneCharacter()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Торт 🎂"_qs});
        QVERIFY(enter(list));
        int t = u'т';
        FindKeyPress(t);
        int cake = 0x1F382;
        FindKeyPress(cake);
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(searchText(m_w->lFindBB), u"Т🎂"_qs);
        int backspace = ListSearch::KeyBackspace;
        FindKeyPress(backspace);
        QCOMPARE(searchText(m_w->lFindBB), u"Т"_qs);
    }

    void operationsOnTheFocusedControlOnly()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs});
        list->setCurrentRow(0);
        QVERIFY(enter(m_w->tOut));
        m_w->tOut->setProperty("Tag", u"lFindBB"_qs);

        int code = u'с';
        FindKeyPress(code);
        QCOMPARE(code, int(u'с')); // left to the text box
        int down = ListSearch::KeyDown;
        m_w->lFindBB->setProperty("Tag", u"С"_qs);
        FindKeyUp(down);
        QCOMPARE(down, ListSearch::KeyDown);
        FindReset();
        QCOMPARE(searchText(m_w->lFindBB), u"С"_qs); // not a list: no reset
        QCOMPARE(list->currentRow(), 0);
    }

    void explicitLabelNameAndMissingPieces()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        list->setCurrentRow(0);
        QVERIFY(enter(list));

        // A name given by the caller wins over the list's Tag.
        int code = u'н';
        FindKeyPress(code, u"lFindD"_qs);
        QCOMPARE(code, 0);
        QCOMPARE(m_w->lFindD->text(), u"Н"_qs);
        QCOMPARE(m_w->lFindBB->text(), Blanks26);
        QCOMPARE(list->currentRow(), 2);
        FindReset(u"lFindD"_qs);
        QCOMPARE(m_w->lFindD->text(), QString());

        // No such label: the key still searches (one character at a time) and is taken.
        list->setProperty("Tag", u"lNowhere"_qs);
        code = u'у';
        FindKeyPress(code);
        QCOMPARE(code, 0);
        QCOMPARE(list->currentRow(), 1);
        int down = ListSearch::KeyDown;
        FindKeyUp(down);
        QCOMPARE(down, ListSearch::KeyDown);
        FindReset(); // nothing to reset, nothing breaks

        // No Tag at all: the key is left to the list.
        list->setProperty("Tag", QVariant());
        code = u'х';
        FindKeyPress(code);
        QCOMPARE(code, int(u'х'));
        QCOMPARE(list->currentRow(), 1);

        // A key already taken by someone else is not a character.
        list->setProperty("Tag", u"lFindBB"_qs);
        code = 0;
        FindKeyPress(code);
        QCOMPARE(m_w->lFindBB->text(), Blanks26);
        QCOMPARE(list->currentRow(), 1);
    }

    void otherReleasedKeysAreIgnored()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Салат"_qs, u"Супы"_qs, u"Квас"_qs});
        QVERIFY(enter(list));
        type(list, u"а"_qs);
        list->setCurrentRow(2);
        for (int key : {37, 39, 33, 34, 65}) {
            int code = key;
            FindKeyUp(code);
            QCOMPARE(code, key);
            QCOMPARE(list->currentRow(), 2);
        }
        int down = ListSearch::KeyDown;
        FindKeyUp(down);
        QCOMPARE(down, 0);
        QCOMPARE(list->currentRow(), 3);
    }

    // The lower-cased copy of the entries must follow every change of the list.
    void searchFollowsChangesOfTheList_data()
    {
        QTest::addColumn<int>("change");
        QTest::newRow("added at the end") << 0;
        QTest::newRow("inserted in the middle") << 1;
        QTest::newRow("taken out") << 2;
        QTest::newRow("renamed") << 3;
        QTest::newRow("cleared and refilled") << 4;
        QTest::newRow("sorted") << 5;
        QTest::newRow("item created empty, then named") << 6;
    }
    void searchFollowsChangesOfTheList()
    {
        QFETCH(int, change);
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        QVERIFY(enter(list));
        press(list, u"<Esc>"_qs); // the copy now exists

        switch (change) {
        case 0:
            list->addItem(u"Компот"_qs);
            break;
        case 1:
            list->insertItem(1, u"Компот"_qs);
            break;
        case 2:
            delete list->takeItem(0);
            list->addItem(u"Компот"_qs);
            break;
        case 3:
            list->item(2)->setText(u"Компот"_qs);
            break;
        case 4:
            list->clear();
            list->addItems({u"Каша"_qs, u"Компот"_qs});
            break;
        case 5:
            list->addItem(u"Компот"_qs);
            list->sortItems();
            break;
        case 6:
            (new QListWidgetItem(list))->setText(u"Компот"_qs);
            break;
        }
        const QStringList now = texts(list);
        type(list, u"ком"_qs);
        QCOMPARE(currentText(list), u"Компот"_qs);
        type(list, u"ю"_qs);
        QCOMPARE(currentText(list), u"Компот"_qs);
        press(list, u"<C-BS>"_qs);
        QCOMPARE(list->currentRow(), 0);
        // And an entry no longer there is no longer found.
        for (const QString& gone : {u"Напитки"_qs, u"Хлеб"_qs}) {
            if (now.contains(gone))
                continue;
            press(list, u"<Esc>"_qs);
            type(list, gone);
            QCOMPARE(list->currentRow(), 0);
        }
    }

    void listFilledBeforeItIsWired()
    {
        auto* list = new QListWidget(&m_w->window);
        list->setProperty("Tag", u"lFindBB"_qs);
        list->addItems({u"ХЛЕБ"_qs, u"СУПЫ"_qs, u"НАПИТКИ"_qs});
        list->setCurrentRow(0);
        ListSearch::install(list);
        list->show();
        QVERIFY(enter(list));
        type(list, u"пит"_qs);
        QCOMPARE(list->currentRow(), 2);
        QCOMPARE(m_w->lFindBB->text(), u"Пит"_qs);
    }

    void heldArrowJumpsOnceWhenLetGo()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Салат"_qs, u"Супы"_qs, u"Щи"_qs, u"Чай"_qs});
        QVERIFY(enter(list));
        type(list, u"а"_qs);
        QCOMPARE(list->currentRow(), 1);
        // A held key repeats press and release; only the last release is the user letting go.
        for (int i = 0; i < 2; ++i) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier, QString(), i > 0);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_Down, Qt::NoModifier, QString(), true);
            QApplication::sendEvent(list, &press);
            QApplication::sendEvent(list, &release);
        }
        QCOMPARE(list->currentRow(), 3); // Щи: two plain steps, no jump yet
        QTest::keyRelease(list, Qt::Key_Down);
        QCOMPARE(list->currentRow(), 4); // Чай
    }

    void installingTwiceChangesNothing()
    {
        SpyList* list = m_w->lBases;
        list->addItems({u"Хлеб"_qs, u"Супы"_qs, u"Напитки"_qs});
        ListSearch::install(list);
        ListSearch::install(nullptr);
        QVERIFY(enter(list));
        type(list, u"у"_qs);
        QCOMPARE(m_w->lFindBB->text(), u"У"_qs); // not "УУ"
        press(list, u"<BS>"_qs);
        QCOMPARE(m_w->lFindBB->text(), QString());
        QCOMPARE(list->keysReached, QList<int>{});
    }

    void virtualKeyCodes_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<int>("code");
        QTest::newRow("Up") << int(Qt::Key_Up) << 38;
        QTest::newRow("Down") << int(Qt::Key_Down) << 40;
        QTest::newRow("Left") << int(Qt::Key_Left) << 37;
        QTest::newRow("Right") << int(Qt::Key_Right) << 39;
        QTest::newRow("PageUp") << int(Qt::Key_PageUp) << 33;
        QTest::newRow("PageDown") << int(Qt::Key_PageDown) << 34;
        QTest::newRow("Home") << int(Qt::Key_Home) << 36;
        QTest::newRow("End") << int(Qt::Key_End) << 35;
        QTest::newRow("Return") << int(Qt::Key_Return) << 13;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 13;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 27;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 8;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 46;
        QTest::newRow("A") << int(Qt::Key_A) << 65;
        QTest::newRow("Z") << int(Qt::Key_Z) << 90;
        QTest::newRow("0") << int(Qt::Key_0) << 48;
        QTest::newRow("F1") << int(Qt::Key_F1) << 112;
        QTest::newRow("F12") << int(Qt::Key_F12) << 123;
        QTest::newRow("Cyrillic letter") << 0x0423 << 0;
        QTest::newRow("unknown") << int(Qt::Key_unknown) << 0;
    }
    void virtualKeyCodes()
    {
        QFETCH(int, qtKey);
        QFETCH(int, code);
        QCOMPARE(ListSearch::virtualKeyCode(qtKey), code);
    }

    void characterCodes_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("code");
        QTest::newRow("Cyrillic у") << 0x0423 << u"у"_qs << int(Qt::NoModifier) << 0x0443;
        QTest::newRow("Cyrillic У with Shift") << 0x0423 << u"У"_qs << int(Qt::ShiftModifier) << 0x0423;
        QTest::newRow("Latin a") << int(Qt::Key_A) << u"a"_qs << int(Qt::NoModifier) << int('a');
        QTest::newRow("digit on the keypad")
            << int(Qt::Key_5) << u"5"_qs << int(Qt::KeypadModifier) << int('5');
        QTest::newRow("blank") << int(Qt::Key_Space) << u" "_qs << int(Qt::NoModifier) << 32;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << u"\x1b"_qs << int(Qt::NoModifier) << 27;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << u"\b"_qs << int(Qt::NoModifier) << 8;
        QTest::newRow("Ctrl+Backspace")
            << int(Qt::Key_Backspace) << u"\x7f"_qs << int(Qt::ControlModifier) << 127;
        QTest::newRow("Enter") << int(Qt::Key_Return) << u"\r"_qs << int(Qt::NoModifier) << 13;
        QTest::newRow("Tab") << int(Qt::Key_Tab) << u"\t"_qs << int(Qt::NoModifier) << 0;
        QTest::newRow("arrow") << int(Qt::Key_Down) << QString() << int(Qt::NoModifier) << 0;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << QString() << int(Qt::ShiftModifier) << 0;
        QTest::newRow("Ctrl+A") << int(Qt::Key_A) << u"\x01"_qs << int(Qt::ControlModifier) << 0;
        QTest::newRow("Ctrl+A typing a") << int(Qt::Key_A) << u"a"_qs << int(Qt::ControlModifier) << 0;
        QTest::newRow("Alt+В") << 0x0412 << u"в"_qs << int(Qt::AltModifier) << 0;
        QTest::newRow("AltGr as Ctrl+Alt")
            << int(Qt::Key_E) << u"€"_qs << int(Qt::ControlModifier | Qt::AltModifier) << 0x20AC;
        QTest::newRow("outside the basic plane")
            << int(Qt::Key_unknown) << u"🎂"_qs << int(Qt::NoModifier) << 0x1F382;
    }
    void characterCodes()
    {
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, modifiers);
        QFETCH(int, code);
        const QKeyEvent event(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QCOMPARE(ListSearch::characterCode(event), code);
    }
};

QTEST_MAIN(TestListSearch)
#include "TestListSearch.moc"
