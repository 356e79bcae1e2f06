#include "Dialogs.h"
#include "ErrorBox.h"
#include "ScriptedDialogs.h"
#include "TextSelection.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>

#include <memory>

using namespace Dialogs;

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void realBoxShowsServerTextLiterally()
    {
        const QString markup = u"<b>Жирный</b> <a href=\"http://example.invalid\">ссылка</a>"_qs;
        std::unique_ptr<QMessageBox> box(createMessageBox({markup + u"\rвторая"_qs, {}, Icon::Information}));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), markup + u"\nвторая"_qs);
        QCOMPARE(box->windowTitle(), u"Quorvel"_qs);
        QCOMPARE(box->icon(), QMessageBox::Information);
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);

        box.reset(createMessageBox({u"?"_qs, u"Сервер рецептур"_qs, Icon::Question, Buttons::YesNo}));
        QCOMPARE(box->windowTitle(), u"Сервер рецептур"_qs);
        QCOMPARE(box->icon(), QMessageBox::Question);
        QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    }

    void showErrorAndOtherBoxesReachTheScript()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        dialogs.expectBox();
        dialogs.expectBox(Answer::No);
        Show_Error(u"Необходимо выбрать группу!"_qs, QString(), QString(), 0);
        Show_Error(u"Ошибка отправки запроса!\rописание"_qs, u"Dish_Cli"_qs, u"SendCommand"_qs, 10054);
        QCOMPARE(message(u"q"_qs, Buttons::YesNo, Icon::Question), Answer::No);
        QCOMPARE(dialogs.boxTexts(),
                 (QStringList{u"Необходимо выбрать группу!\r\r\rКод: 0"_qs,
                              u"Ошибка отправки запроса!\rописание\rDish_Cli\rSendCommand\rКод: 10054"_qs,
                              u"q"_qs}));
        const Box& error = dialogs.boxes().first();
        QCOMPARE(error.title, u"Ventaro"_qs);
        QCOMPARE(error.icon, Icon::Critical);
        QCOMPARE(error.buttons, Buttons::Ok);
        QCOMPARE(dialogs.boxes().last().title, u"Quorvel"_qs);
    }

    void selectTextSelectsAllOfTheFocusedTextBox()
    {
        QWidget window;
        auto* edit = new QLineEdit(u"150/50"_qs, &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        SelectText();
        QCOMPARE(edit->selectedText(), u"150/50"_qs);
    }
};

QTEST_MAIN(TestDialogs)
#include "TestDialogs.moc"
