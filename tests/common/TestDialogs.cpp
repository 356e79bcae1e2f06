#include "Dialogs.h"
#include "ErrorBox.h"
#include "ScriptedDialogs.h"
#include "TextSelection.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <memory>

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void realBoxShowsServerTextLiterally()
    {
        const QString hostile = u"<b>Жирный</b> <a href=\"http://example.invalid\">ссылка</a>\rвторая"_qs;
        std::unique_ptr<QMessageBox> box(Dialogs::createMessageBox(
            {hostile, QString(), Dialogs::Icon::Information, Dialogs::Buttons::Ok}));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), u"<b>Жирный</b> <a href=\"http://example.invalid\">ссылка</a>\nвторая"_qs);
        QCOMPARE(box->windowTitle(), u"Quorvel"_qs);
        QCOMPARE(box->icon(), QMessageBox::Information);
        QVERIFY(box->informativeText().isEmpty());
        box->show();
        bool sawLabel = false;
        for (auto* label : box->findChildren<QLabel*>()) {
            if (label->text() == box->text()) {
                QCOMPARE(label->textFormat(), Qt::PlainText);
                QVERIFY(!label->openExternalLinks());
                sawLabel = true;
            }
        }
        QVERIFY(sawLabel);
    }

    void realBoxHasTheRequestedButtons()
    {
        std::unique_ptr<QMessageBox> box(Dialogs::createMessageBox(
            {u"?"_qs, u"Сервер рецептур"_qs, Dialogs::Icon::Question, Dialogs::Buttons::YesNo}));
        QCOMPARE(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        QCOMPARE(box->windowTitle(), u"Сервер рецептур"_qs);
        QCOMPARE(box->icon(), QMessageBox::Question);
    }

    void showErrorBuildsItsLines()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        dialogs.expectBox();
        Show_Error(u"Необходимо выбрать группу!"_qs, QString(), QString(), 0);
        Show_Error(u"Ошибка отправки запроса!\rописание"_qs, u"Dish_Cli"_qs, u"SendCommand"_qs, 10054);
        QCOMPARE(dialogs.boxes().size(), 2);
        const auto& user = dialogs.boxes()[0];
        QCOMPARE(user.text, u"Необходимо выбрать группу!\r\r\rКод: 0"_qs);
        QCOMPARE(user.title, u"Ventaro"_qs);
        QCOMPARE(user.icon, Dialogs::Icon::Critical);
        QCOMPARE(user.buttons, Dialogs::Buttons::Ok);
        QCOMPARE(dialogs.boxes()[1].text.split(u'\r'),
                 (QStringList{u"Ошибка отправки запроса!"_qs, u"описание"_qs, u"Dish_Cli"_qs,
                              u"SendCommand"_qs, u"Код: 10054"_qs}));
    }

    void scriptAnswersInOrderAndDefaultsTitle()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox(Dialogs::Answer::No);
        dialogs.expectInput(u"привет"_qs);
        QCOMPARE(Dialogs::message(u"q"_qs, Dialogs::Buttons::YesNo, Dialogs::Icon::Question), Dialogs::Answer::No);
        QCOMPARE(Dialogs::input(u"Введите"_qs, u"T"_qs), u"привет"_qs);
        QCOMPARE(dialogs.boxes().first().title, u"Quorvel"_qs);
        QCOMPARE(dialogs.pending(), 0);
    }

    void selectTextActsOnFocusedTextBoxOnly()
    {
        QWidget window;
        auto* edit = new QLineEdit(u"150/50"_qs, &window);
        auto* button = new QPushButton(u"x"_qs, &window);
        button->move(0, 40);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        edit->setFocus();
        edit->setCursorPosition(2);
        SelectText();
        QCOMPARE(edit->selectedText(), u"150/50"_qs);
        edit->deselect();
        button->setFocus();
        SelectText(); // a button has no text to select; nothing happens
        QVERIFY(!edit->hasSelectedText());
    }
};

QTEST_MAIN(TestDialogs)
#include "TestDialogs.moc"
