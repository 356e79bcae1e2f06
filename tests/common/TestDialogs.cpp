#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "common/Translations.h"
#include "support/ScriptedDialogs.h"

#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

using namespace Dialogs;
using namespace Qt::Literals::StringLiterals;

class TestDialogs : public QObject
{
    Q_OBJECT

private slots:
    void realBoxShowsServerTextLiterally()
    {
        const QString markup = u"<b>Жирный</b> <a href=\"http://example.invalid\">ссылка</a>"_s;
        std::unique_ptr<QMessageBox> box(
            createMessageBox({markup + u"\rвторая\r\nтретья"_s, {}, Icon::Information}));
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), markup + u"\nвторая\nтретья"_s);
        QCOMPARE(box->windowTitle(), u"Quorvel"_s);
        QCOMPARE(box->icon(), QMessageBox::Information);
        QCOMPARE(box->standardButtons(), QMessageBox::Ok);
    }

    // Russian whatever the machine's language (the tests run in the C locale):
    // the boxes' own buttons even without Qt's translations, and Qt's own
    // texts (context menus, file dialogs) from its Russian translations.
    void everythingSpeaksRussian()
    {
        std::unique_ptr<QMessageBox> question(
            createMessageBox({u"?"_s, u"Сервер рецептур"_s, Icon::Question, Buttons::YesNo}));
        QCOMPARE(question->windowTitle(), u"Сервер рецептур"_s);
        QCOMPARE(question->icon(), QMessageBox::Question);
        QCOMPARE(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        std::unique_ptr<QMessageBox> note(createMessageBox({u"!"_s, {}, Icon::None}));
        std::unique_ptr<QInputDialog> input(createInputDialog(u"Введите текст сообщения:"_s, u"Т"_s));
        QCOMPARE(
            (QStringList{question->button(QMessageBox::Yes)->text(),
                         question->button(QMessageBox::No)->text(), note->button(QMessageBox::Ok)->text(),
                         input->okButtonText(), input->cancelButtonText()}),
            (QStringList{u"Да"_s, u"Нет"_s, u"ОК"_s, u"ОК"_s, u"Отмена"_s}));

        QVERIFY(installRussianTranslations(*QCoreApplication::instance()));
        QLineEdit edit;
        std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
        QStringList texts{QCoreApplication::translate("QFileDialog", "File &name:"),
                          QCoreApplication::translate("QPlatformTheme", "Save")};
        for (const QAction* action : menu->actions())
            texts << action->text().section(u'\t', 0, 0); // without its shortcut
        texts.removeAll(QString());                       // separators
        QVERIFY(texts.size() > 2);
        for (const QString& text : texts)
            QVERIFY2(text.contains(QRegularExpression(u"^[^A-Za-z]*[А-Яа-я][^A-Za-z]*$"_s)),
                     qPrintable(text));
    }

    void showErrorAndOtherBoxesReachTheScript()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        dialogs.expectBox();
        dialogs.expectBox(Answer::No);
        Show_Error(u"Необходимо выбрать группу!"_s, QString(), QString(), 0);
        Show_Error(u"Ошибка отправки запроса!\rописание"_s, u"Dish_Cli"_s, u"SendCommand"_s, 10054);
        QCOMPARE(message(u"q"_s, Buttons::YesNo, Icon::Question), Answer::No);
        QCOMPARE(dialogs.boxTexts(),
                 (QStringList{u"Необходимо выбрать группу!\r\r\rКод: 0"_s,
                              u"Ошибка отправки запроса!\rописание\rDish_Cli\rSendCommand\rКод: 10054"_s,
                              u"q"_s}));
        const Box& error = dialogs.boxes().first();
        QCOMPARE(error.title, u"Ventaro"_s);
        QCOMPARE(error.icon, Icon::Critical);
        QCOMPARE(error.buttons, Buttons::Ok);
        QCOMPARE(dialogs.boxes().last().title, u"Quorvel"_s);
    }
};

QTEST_MAIN(TestDialogs)
#include "TestDialogs.moc"
