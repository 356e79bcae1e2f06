#include "common/ListSearch.h"

#include "support/ScriptedDialogs.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <algorithm>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString Blanks26 = QString(26, u' ');
const QStringList Bread{u"Хлеб"_s, u"Супы"_s, u"Напитки"_s};

// How key strings name the keys that type nothing; ⇣ is a held Down, any other character types itself.
const QString Names = u"\x1b\b\x7f↑↓\r\t\x01"_s;
const QKeyCombination Keys[] = {Qt::Key_Escape, Qt::Key_Backspace,   Qt::CTRL | Qt::Key_Backspace,
                                Qt::Key_Up,     Qt::Key_Down,        Qt::Key_Return,
                                Qt::Key_Tab,    Qt::CTRL | Qt::Key_A};

void press(QWidget* widget, const QString& keys)
{
    for (const char32_t c : keys.toUcs4()) {
        if (c == U'⇣') { // a held key repeats as press and release pairs
            QTest::simulateEvent(widget, true, Qt::Key_Down, {}, {}, true);
            QTest::simulateEvent(widget, false, Qt::Key_Down, {}, {}, true);
        } else if (const qsizetype i = c > 0xFFFF ? -1 : Names.indexOf(QChar(char16_t(c))); i >= 0) {
            QTest::keyClick(widget, Keys[i].key(), Keys[i].keyboardModifiers());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key(QChar::toUpper(c)), QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
        }
    }
}

// A list that writes down, as press() names them, the keys its own handling gets.
class SpyList final : public QListWidget
{
public:
    using QListWidget::QListWidget;
    QString reached;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        const auto* named = std::find(std::begin(Keys), std::end(Keys), event->keyCombination());
        if (named != std::end(Keys))
            reached += Names[named - Keys];
        else if (event->key() <= 0xFFFF) // modifier keys aside
            reached += QChar(event->key());
        QListWidget::keyPressEvent(event);
    }
};

// The fitness window's two searchable lists with their labels.
struct SearchWindow
{
    QWidget window;
    SpyList* lBases = new SpyList(&window);
    SpyList* lDishes = new SpyList(&window);
    QLabel* lFindBB = new QLabel(Blanks26, &window);
    QLabel* lFindD = new QLabel(Blanks26, &window);

    SearchWindow()
    {
        lFindBB->setObjectName(u"lFindBB"_s);
        lFindD->setObjectName(u"lFindD"_s);
        lBases->setProperty("Tag", u"lFindBB"_s);
        lDishes->setProperty("Tag", u"lFindD"_s);
        ListSearch::install(lBases);
        ListSearch::install(lDishes);
    }
};

// Keys typed into lBases, and where that leaves the selection and the label.
struct Walk
{
    QString keys;
    int row;
    QString caption = {};
    QString reached = {}; // keys the list handled itself
    QStringList entries = Bread;
    int startRow = 0;
};

} // namespace

Q_DECLARE_METATYPE(Walk)

class TestListSearch : public QObject
{
    Q_OBJECT

    ScriptedDialogs m_dialogs; // the search never shows a box
    std::unique_ptr<SearchWindow> m_w;

private slots:
    void init()
    {
        m_w = std::make_unique<SearchWindow>();
        m_w->window.show();
        m_w->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m_w->window));
    }

    void walks_data()
    {
        QTest::addColumn<Walk>("walk");
        const QStringList menu{u"Хлеб"_s,       u"Салат"_s, u"Супы"_s, u"Напитки"_s,
                               u"Рассольник"_s, u"Чай"_s,   u"Квас"_s};
        QTest::newRow("уп keeps Супы") << Walk{u"уп"_s, 1, u"Уп"_s};
        QTest::newRow("Backspace drops one letter") << Walk{u"уп\b"_s, 1, u"У"_s};
        QTest::newRow("Escape") << Walk{u"уп\b\x1b"_s, 0};
        QTest::newRow("no entry contains it") << Walk{u"уж"_s, 1, u"Уж"_s};
        QTest::newRow("Ctrl+Backspace") << Walk{u"на\x7f"_s, 0};
        QTest::newRow("Backspace, no search") << Walk{u"\b"_s, 2, Blanks26, u"\b"_s, Bread, 2};
        QTest::newRow("Ctrl+Backspace, no search") << Walk{u"\x7f"_s, 2, Blanks26, u"\x7f"_s, Bread, 2};
        QTest::newRow("Enter is the window's") << Walk{u"с\r"_s, 1, u"С"_s, u"\r"_s};
        QTest::newRow("shortcut and Tab type nothing") << Walk{u"\x01\t"_s, 0, Blanks26, u"\x01"_s};
        QTest::newRow("Cyrillic case, ё") << Walk{u"ёж"_s, 1, u"Ёж"_s, {}, {u"ХЛЕБ"_s, u"ЁЖИК В ТУМАНЕ"_s}};
        const QStringList cake{u"Хлеб"_s, u"Торт 🎂"_s};
        QTest::newRow("Backspace drops all of it") << Walk{u"т🎂\b"_s, 1, u"Т"_s, {}, cake};
        const int max = ListSearch::MaxSearchLength;
        QTest::newRow("bounded") << Walk{QString(max + 20, u'я'), 0, u"Я"_s + QString(max - 1, u'я')};
        QTest::newRow("empty list") << Walk{u"а\x1b"_s, -1, {}, {}, {}, -1};
        QTest::newRow("arrows, no search") << Walk{u"↓↓↑"_s, 1, Blanks26, u"↓↓↑"_s, menu};
        QTest::newRow("↓ skips Супы") << Walk{u"а↓↓"_s, 4, u"А"_s, u"↓↓"_s, menu};
        QTest::newRow("↑ back to the first") << Walk{u"х↓↓↑"_s, 0, u"Х"_s, u"↓↓↑"_s, menu};
        QTest::newRow("held ↓ jumps only when let go") << Walk{u"а⇣⇣"_s, 3, u"А"_s, u"↓↓"_s, menu};
        QTest::newRow("no match: the list's step") << Walk{u"ч↓"_s, 6, u"Ч"_s, u"↓"_s, menu};
    }
    void walks()
    {
        QFETCH(Walk, walk);
        SpyList* list = m_w->lBases;
        list->addItems(walk.entries);
        list->setCurrentRow(walk.startRow);
        list->setFocus();
        m_w->lFindBB->setText(Blanks26); // as designed, which entering has just emptied

        press(list, walk.keys);
        // Selected, not only current: the window's click handling follows the selection.
        QCOMPARE(list->selectionModel()->selectedRows().value(0).row(), walk.row);
        QCOMPARE(m_w->lFindBB->text(), walk.caption);
        QCOMPARE(m_w->lFindBB->property("Tag").toString(),
                 walk.caption == Blanks26 ? QString() : walk.caption);
        QVERIFY(walk.caption == Blanks26 || m_w->lFindBB->textFormat() == Qt::PlainText);
        QCOMPARE(list->reached, walk.reached);
    }

    void eachListKeepsItsSearchUntilEnteredAnew()
    {
        SpyList* list = m_w->lBases;
        list->addItems(Bread);
        list->setFocus();
        press(list, u"су"_s);
        m_w->lDishes->setFocus();
        press(m_w->lDishes, u"лим\x1b"_s);
        // Back from another window or a message box is not entering the list anew.
        list->setFocus(Qt::ActiveWindowFocusReason);
        QCOMPARE(m_w->lFindBB->text(), u"Су"_s);
        m_w->lDishes->setFocus();
        list->setFocus(Qt::MouseFocusReason);
        QCOMPARE(m_w->lFindBB->text(), QString());
        QCOMPARE(list->currentRow(), 1);
        press(list, u"пи"_s); // a fresh search, not "Супи"
        QCOMPARE(list->currentRow(), 2);
    }

    // Windows' codes, as FindKeyUp takes them.
    void virtualKeyCodes()
    {
        const std::pair<int, int> codes[] = {{Qt::Key_Alt, 18},  {Qt::Key_PageUp, 33}, {Qt::Key_F2, 113},
                                             {Qt::Key_Down, 40}, {Qt::Key_Backtab, 9}, {Qt::Key_unknown, 0}};
        for (const auto& [key, code] : codes)
            QCOMPARE(ListSearch::virtualKeyCode(key), code);
    }

    void searchFollowsChangesOfTheList()
    {
        SpyList* list = m_w->lBases;
        list->addItems(Bread);
        list->setFocus();
        list->sortItems(); // Напитки Супы Хлеб
        press(list, u"х"_s);
        QCOMPARE(list->currentRow(), 2);
        list->insertItem(1, u"Компот"_s);
        press(list, u"\x1bком"_s);
        QCOMPARE(list->currentRow(), 1);
        list->item(2)->setText(u"Квас"_s);
        press(list, u"\x1bкв"_s);
        QCOMPARE(list->currentRow(), 2);
    }
};

QTEST_MAIN(TestListSearch)
#include "TestListSearch.moc"
