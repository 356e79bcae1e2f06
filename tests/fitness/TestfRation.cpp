#include "common/ErrorBox.h"
#include "fitness/FitnessFixture.h"
#include "fitness/fRation.h"
#include "recipes/RationEntries.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
using Action = std::function<void(QTableWidget*)>;
} // namespace

class TestfRation : public QObject
{
    Q_OBJECT

    std::optional<FitnessFixture> f;
    QTemporaryDir m_dir;

    QPushButton* button(const char* name) { return f->control<QPushButton>(name); }
    fRation* ration() { return f->controller.energy().rationWindow(); }
    QTableWidget* table() { return ration()->findChild<QTableWidget*>(u"tRation"_s); }
    QPushButton* rationButton(const char* name)
    {
        return ration()->findChild<QPushButton*>(QString::fromLatin1(name));
    }

    // The ration's dishes with their weights, then cAdd's caption.
    QString state()
    {
        const RationEntries& r = f->controller.recipeData().rationEntries();
        QStringList dishes;
        for (int i = 1; i <= r.count(); ++i)
            dishes << r.GetDishWeight(i);
        return dishes.join(u' ') + u'|' + button("cAdd")->text();
    }

    QStringList rows()
    {
        QStringList rows;
        for (int r = 0; r < table()->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < table()->columnCount(); ++c)
                cells << table()->item(r, c)->text();
            rows << cells.join(u'|');
        }
        return rows;
    }

    // Борщ at each weight through the fitness window, then the ration window opened.
    void addAndOpen(const QStringList& weights)
    {
        f->controller.form_Bases_Bl(u"Супы"_s);
        f->controller.receiveNorm(kNorms);
        f->controller.receiveComposition(kBorshch);
        for (const QString& weight : weights) {
            f->control<QLineEdit>("tOut")->setText(weight);
            QTest::mouseClick(button("cAdd"), Qt::LeftButton);
        }
        QTest::mouseClick(button("cRation"), Qt::LeftButton);
        QVERIFY(QTest::qWaitForWindowActive(ration()));
        table()->setFocus();
    }

private slots:
    void init() { f.emplace(); }
    void cleanup() { QCOMPARE(f->dialogs.pending(), 0); }

    void tableFollowsTheRation()
    {
        addAndOpen({u"200"_s, u"100"_s});
        fRation* window = ration();
        QCOMPARE(window->windowTitle(), u"Рацион"_s);
        QCOMPARE(rows(),
                 (QStringList{u"1|Борщ|200|10,0|5,0|50,0|284|12%"_s, u"2|Борщ|100|5,0|2,5|25,0|142|6%"_s,
                              u"|Итого:||15,0|7,5|75,0|426|17%"_s}));
        QVERIFY(table()->item(2, fRation::Kkal)->font().bold());
        f->controller.energy().findChild<QComboBox*>(u"cVozr"_s)->setCurrentIndex(1); // need 2300
        QCOMPARE(table()->item(2, fRation::Share)->text(), u"19%"_s);
        f->controller.receiveNorm(u"x<Sc>I<Sc>1,4<Sc>18-29<Sc>нет"_s); // need unknown: shares empty
        QCOMPARE(table()->item(0, fRation::Share)->text() + table()->item(2, fRation::Share)->text(),
                 QString());
        QTest::mouseClick(button("cAdd"), Qt::LeftButton);
        QCOMPARE(table()->rowCount(), 4);
        QTest::mouseClick(button("cClearall"), Qt::LeftButton);
        QCOMPARE(rows(), QStringList{u"|Итого:||0,0|0,0|0,0|0|"_s});
        QTest::mouseClick(button("cRation"), Qt::LeftButton);
        QCOMPARE(ration(), window); // one instance
        window->close();
        QCOMPARE(state(), u"|Добавить"_s);         // closing changes nothing
        f->dialogs.expectBox(Dialogs::Answer::No); // "Закрыть всю программу?"
        f->controller.energy().close();
        QVERIFY(!window->isVisible());
    }

    void actions_data()
    {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("box"); // the box the action shows, answered Yes
        QTest::addColumn<QString>("after");
        const auto at = [](int row, Action then) {
            return Action([row, then](QTableWidget* t) {
                t->setCurrentCell(row, fRation::Weight);
                then(t);
            });
        };
        const auto key = [](int k, Qt::KeyboardModifiers m = {}) {
            return Action([k, m](QTableWidget* t) { QTest::keyClick(t, Qt::Key(k), m); });
        };
        const auto weight = [](const QString& text) {
            return Action([text](QTableWidget* t) {
                QTest::keyClick(t, Qt::Key_F2);
                auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
                QVERIFY(editor);
                editor->selectAll();
                QTest::keyClicks(editor, text);
                QTest::keyClick(editor, Qt::Key_Return);
                QTest::qWait(0);
            });
        };
        const QString refused = errorBoxText(RationEntries::EditWeightRefusedMessage, {}, {}, 0);
        QTest::newRow("Delete") << at(1, key(Qt::Key_Delete)) << QString() << u"100 300|Добавить (2)"_s;
        QTest::newRow("Delete all") << Action([key](QTableWidget* t) {
            t->selectAll();
            key(Qt::Key_Delete)(t);
        }) << QString() << u"|Добавить"_s;
        QTest::newRow("Ctrl+Up") << at(1, key(Qt::Key_Up, Qt::ControlModifier)) << QString()
                                 << u"200 100 300|Добавить (3)"_s;
        QTest::newRow("Ctrl+Down at the end")
            << at(2, key(Qt::Key_Down, Qt::ControlModifier)) << QString() << u"100 200 300|Добавить (3)"_s;
        QTest::newRow("weight") << at(0, weight(u"150/50"_s)) << QString()
                                << u"150/50 200 300|Добавить (3)"_s;
        QTest::newRow("weight 0 refused")
            << at(0, weight(u"0"_s)) << refused << u"100 200 300|Добавить (3)"_s;
        QTest::newRow("Очистить") << Action([this](QTableWidget*) {
            QTest::mouseClick(rationButton("cClearall"), Qt::LeftButton);
        }) << u"Очистить рацион?"_s
                                  << u"|Добавить"_s;
    }
    void actions()
    {
        QFETCH(Action, action);
        QFETCH(QString, box);
        QFETCH(QString, after);
        addAndOpen({u"100"_s, u"200"_s, u"300"_s});
        if (!box.isEmpty())
            f->dialogs.expectBox(Dialogs::Answer::Yes);
        action(table());
        QCOMPARE(f->dialogs.boxTexts(), box.isEmpty() ? QStringList() : QStringList{box});
        QCOMPARE(state(), after);
        QCOMPARE(table()->rowCount(),
                 int(after.section(u'|', 0, 0).split(u' ', Qt::SkipEmptyParts).size()) + 1);
    }

    void filesAndExport()
    {
        addAndOpen({u"100"_s, u"150/50"_s});
        auto* cVozr = f->controller.energy().findChild<QComboBox*>(u"cVozr"_s);
        cVozr->setCurrentIndex(1);
        const QString path = m_dir.filePath(u"день.ration"_s);
        f->dialogs.expectSaveFile(m_dir.filePath(u"день"_s)); // the extension is added
        QTest::mouseClick(rationButton("cSave"), Qt::LeftButton);
        f->dialogs.expectSaveFile(m_dir.filePath(u"день.csv"_s));
        QTest::mouseClick(rationButton("cCsv"), Qt::LeftButton);
        QFile csv(m_dir.filePath(u"день.csv"_s));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().contains("\r\n2;Борщ;150/50;10,0;5,0;50,0;284;12\r\n"));

        f->dialogs.expectBox(Dialogs::Answer::Yes);
        QTest::mouseClick(rationButton("cClearall"), Qt::LeftButton);
        cVozr->setCurrentIndex(0);
        f->dialogs.expectOpenFile(path); // empty ration: no question
        QTest::mouseClick(rationButton("cOpen"), Qt::LeftButton);
        QCOMPARE(state(), u"100 150/50|Добавить (2)"_s);
        QCOMPARE(cVozr->currentText(), u"30-39"_s);

        const QString bad = m_dir.filePath(u"чужой.ration"_s);
        QFile(bad).open(QIODevice::WriteOnly);
        f->dialogs.expectOpenFile(bad);
        f->dialogs.expectBox();
        QTest::mouseClick(rationButton("cOpen"), Qt::LeftButton);
        QCOMPARE(f->dialogs.boxTexts().last(), u"Файл «чужой.ration» не открыт: это не файл рациона."_s);
        f->dialogs.expectOpenFile(path);
        f->dialogs.expectBox(Dialogs::Answer::No); // replace the current ration?
        QTest::mouseClick(rationButton("cOpen"), Qt::LeftButton);
        QCOMPARE(state(), u"100 150/50|Добавить (2)"_s);
    }
};

QTEST_MAIN(TestfRation)
#include "TestfRation.moc"
