#include "common/ErrorBox.h"
#include "fitness/ChosenGroup.h"
#include "fitness/RationModel.h"
#include "fitness/RationReportSource.h"
#include "fitness/fRation.h"
#include "recipes/RationEntries.h"
#include "support/ScriptedDialogs.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
const QString kBorshch = u"10<Sc>5<Sc>20<Sc>30<Str>Борщ<Sc>200"_s; // of 200 g
using Action = std::function<void(QTableView*)>;
} // namespace

// The ration window on its own: a ration, a chosen group and the report's figures of them.
class TestfRation : public QObject
{
    Q_OBJECT

    struct Fixture
    {
        ScriptedDialogs dialogs;
        RationEntries ration;
        ChosenGroup group;
        QStringList requests; // the groups the window asked the fitness side for
        QString caption = u"Мужчины I (1,4), 18-29 лет (2450 ккал)"_s;
        double need = 2450;
        RationReportSource source{ration, [this] { return caption; }, [this] { return need; }};
        fRation window{ration, group, source};
    };
    std::optional<Fixture> f;
    QTemporaryDir m_dir;

    QTableView* table() { return f->window.findChild<QTableView*>(u"tRation"_s); }
    void click(const char* name)
    {
        QTest::mouseClick(f->window.findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

    QStringList rows()
    {
        const QAbstractItemModel* model = table()->model();
        QStringList rows;
        for (int r = 0; r < model->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < model->columnCount(); ++c)
                cells << model->index(r, c).data().toString();
            rows << cells.join(u'|');
        }
        return rows;
    }

    // The weights the table shows, the totals row left out.
    QString weights()
    {
        QStringList weights;
        for (int r = 0; r + 1 < table()->model()->rowCount(); ++r)
            weights << table()->model()->index(r, RationModel::Weight).data().toString();
        return weights.join(u' ');
    }

    // Борщ at each weight, then the window shown with the focus in the table.
    void open(const QStringList& weights)
    {
        for (const QString& weight : weights)
            QCOMPARE(f->ration.add(kBorshch, weight), RationEntries::AddResult::Added);
        f->window.show();
        f->window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&f->window));
        table()->setFocus();
    }

private slots:
    void init()
    {
        f.emplace();
        connect(&f->group, &ChosenGroup::requested, &f->group, [this](const ChosenGroup::Group& g) {
            f->requests << g.kfa + u' ' + g.age + (g.women ? u" Ж"_s : u" М"_s);
        });
    }

    void cleanup() { QCOMPARE(f->dialogs.pending(), 0); }

    void tableFollowsTheRationAndTheGroup()
    {
        open({u"200"_s, u"100"_s});
        QCOMPARE(rows(),
                 (QStringList{u"1|Борщ|200|10,0|5,0|50,0|284|12%"_s, u"2|Борщ|100|5,0|2,5|25,0|142|6%"_s,
                              u"|Итого:||15,0|7,5|75,0|426|17%"_s}));
        QVERIFY(table()->model()->index(2, RationModel::Kkal).data(Qt::FontRole).value<QFont>().bold());
        f->need = 2300;
        f->group.setCurrent({false, u"1,4"_s, u"30-39"_s});
        QCOMPARE(rows().last(), u"|Итого:||15,0|7,5|75,0|426|19%"_s);
        QVERIFY(f->window.findChild<QLabel*>(u"lGroup"_s)->text().endsWith(u"потребность: 2300 ккал"_s));
        f->ration.reset();
        QCOMPARE(rows(), QStringList{u"|Итого:||0,0|0,0|0,0|0|0%"_s});
        QVERIFY(!f->window.findChild<QPushButton*>(u"cSave"_s)->isEnabled());
    }

    // Each action on Борщ of 100, 200 and 300 g; the box it shows, answered Yes; the weights after.
    void actions()
    {
        const auto at = [](int row, Action then) {
            return Action([row, then](QTableView* t) {
                t->setCurrentIndex(t->model()->index(row, RationModel::Weight));
                then(t);
            });
        };
        const auto key = [](int k, Qt::KeyboardModifiers m = {}) {
            return Action([k, m](QTableView* t) { QTest::keyClick(t, Qt::Key(k), m); });
        };
        const auto weight = [](const QString& text) {
            return Action([text](QTableView* t) {
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
        for (const auto& [action, box, after] :
             {std::tuple{at(1, key(Qt::Key_Delete)), QString(), u"100 300"_s},
              {at(1, key(Qt::Key_Up, Qt::ControlModifier)), QString(), u"200 100 300"_s},
              {at(0, weight(u"150/50"_s)), QString(), u"150/50 200 300"_s},
              {at(0, weight(u"0"_s)), refused, u"100 200 300"_s},
              {Action([this](QTableView*) { click("cClearall"); }), u"Очистить рацион?"_s, QString()},
              {Action([this](QTableView*) { QVERIFY(f->window.close()); }), QString(), u"100 200 300"_s}}) {
            f.emplace();
            open({u"100"_s, u"200"_s, u"300"_s});
            if (!box.isEmpty())
                f->dialogs.expectBox(Dialogs::Answer::Yes);
            action(table());
            QCOMPARE(f->dialogs.boxTexts(), box.isEmpty() ? QStringList() : QStringList{box});
            QCOMPARE(weights(), after);
        }
    }

    void filesAndExport()
    {
        open({u"100"_s, u"150/50"_s});
        f->group.setCurrent({true, u"1,6"_s, u"30-39"_s});
        const QString path = m_dir.filePath(u"день.ration"_s);
        f->dialogs.expectSaveFile(m_dir.filePath(u"день"_s)); // the extension is added
        click("cSave");
        f->dialogs.expectSaveFile(m_dir.filePath(u"день.csv"_s));
        click("cCsv");
        QFile csv(m_dir.filePath(u"день.csv"_s));
        QVERIFY(csv.open(QIODevice::ReadOnly) &&
                csv.readAll().contains("\r\n2;Борщ;150/50;10,0;5,0;50,0;284;12\r\n"));

        // Replacing a ration that differs from the file is asked first; No keeps it.
        f->ration.add(kBorshch, u"300"_s);
        for (const auto answer : {Dialogs::Answer::No, Dialogs::Answer::Yes}) {
            f->dialogs.expectOpenFile(path);
            f->dialogs.expectBox(answer);
            click("cOpen");
            QCOMPARE(weights(), answer == Dialogs::Answer::No ? u"100 150/50 300"_s : u"100 150/50"_s);
            QCOMPARE(f->requests.size(), answer == Dialogs::Answer::No ? 0 : 1);
        }
        f->ration.reset();
        f->dialogs.expectOpenFile(path); // empty ration: no question
        click("cOpen");
        QCOMPARE(weights(), u"100 150/50"_s);
        QCOMPARE(f->requests, QStringList(2, u"1,6 30-39 Ж"_s));

        // Whatever cannot be read or written is said, and the ration stays as it was.
        QFile bad(m_dir.filePath(u"плохой.ration"_s));
        QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("{\"format\": \"quorvel-ration\"") > 0);
        bad.close();
        const QString nowhere = m_dir.filePath(u"нет/день"_s);
        f->dialogs.expectOpenFile(bad.fileName());
        f->dialogs.expectSaveFile(nowhere);
        f->dialogs.expectSaveFile(nowhere + u".csv"_s);
        QStringList said;
        f->dialogs.onBox = [&](const Dialogs::Box& box) { said << box.text.section(u':', 0, 0); };
        for (const char* name : {"cOpen", "cSave", "cCsv"}) {
            f->dialogs.expectBox();
            click(name);
        }
        QCOMPARE(said, (QStringList{u"Файл «плохой.ration» не открыт"_s, u"Файл «день.ration» не сохранен"_s,
                                    u"Файл «день.csv» не сохранен"_s}));
        QCOMPARE(weights(), u"100 150/50"_s);
        QCOMPARE(f->requests.size(), 2);
    }
};

QTEST_MAIN(TestfRation)
#include "TestfRation.moc"
