#include "common/Dialogs.h"
#include "common/ErrorBox.h"
#include "common/NumberHelpers.h"
#include "common/Payload.h"
#include "common/RussianFormat.h"
#include "common/Settings.h"
#include "common/Translations.h"
#include "support/ScriptedDialogs.h"
#include "support/TempSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <tuple>

using namespace Dialogs;
using namespace Qt::Literals::StringLiterals;

// Numbers, payloads, boxes and the settings store as the program uses them, whatever the locale.
class TestCommon : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void readsAndWritesNumbers()
    {
        const std::pair<QString, double> cases[] = {
            // NaN: not a number
            {u"10,5"_s, 10.5},   {u" 24 "_s, 24.0},    {u"-1,5E+03"_s, -1500}, {u"2,5E2"_s, 250},
            {u"1.4"_s, qQNaN()}, {QString(), qQNaN()}, {u"2 450"_s, qQNaN()},  {u"1E999"_s, qQNaN()}};
        for (const auto& [text, value] : cases) {
            QCOMPARE(RussianFormat::isNumeric(text), !qIsNaN(value));
            QCOMPARE(RussianFormat::toDouble(text).value_or(qQNaN()), value);
        }
        const std::tuple<double, int, QString> written[] = {
            // decimals -1: the shortest form; halves away from zero; 0.15 is just below half in binary
            {2450.0, -1, u"2450"_s}, {0.1 + 0.2, -1, u"0,3"_s},
            {-0.0, -1, u"0"_s},      {123456789012345678.0, -1, u"1,23456789012346E+17"_s},
            {12.5, 0, u"13"_s},      {-12.5, 0, u"-13"_s},
            {0.15, 1, u"0,2"_s},     {9.96, 1, u"10,0"_s},
            {-0.0004, 1, u"0,0"_s},  {1e17, 0, u"100000000000000000"_s}};
        for (const auto& [value, decimals, text] : written)
            QCOMPARE(decimals < 0 ? RussianFormat::shortest(value) : RussianFormat::fixed(value, decimals),
                     text);
        QCOMPARE(RussianFormat::longDate(QDate(2026, 12, 6)), u"6 декабря 2026 г."_s);
    }

    void sumsWeightParts()
    {
        const std::pair<QString, double> cases[] = {
            // NaN: refused as not a number
            {u"150\\50"_s, 200}, {u"12.5"_s, 12.5}, {u"12,5"_s, 12.5},     {u"100/"_s, 100},
            {QString(), 0},      {u"1/2/3"_s, 6},   {u"15a/2"_s, qQNaN()}, {u"150/5x"_s, qQNaN()}};
        for (const auto& [text, sum] : cases) {
            if (qIsNaN(sum))
                QVERIFY_THROWS_EXCEPTION(NotANumber, GetOutSum(text));
            else
                QCOMPARE(GetOutSum(text), sum);
        }
    }

    void filtersNumberKeys()
    {
        for (int code : {8, 13, 26, int('0'), int('9'), int(',')})
            QVERIFY(CheckNumKey(code, false) && CheckNumKey(code, true));
        for (int code : {int('/'), int('\\')})
            QVERIFY(CheckNumKey(code, true) && !CheckNumKey(code, false));
        for (int code : {int('.'), int('-'), int(' '), 27, int('a'), 0x0416 /* Ж */})
            QVERIFY(!CheckNumKey(code, true) && !CheckNumKey(code, false));
    }

    void splitsPayloadsKeepingEmptyElements()
    {
        QCOMPARE(splitPayload(QString(), u"<BL>"_s), QStringList());
        QCOMPARE(splitPayload(u"а<BL><BL>б<BL>"_s, u"<BL>"_s), (QStringList{u"а"_s, {}, u"б"_s, {}}));
        QCOMPARE(splitPayload(u"а<bl>б"_s, u"<BL>"_s), QStringList{u"а<bl>б"_s}); // exact separators
        QCOMPARE(elementAt({u"x"_s}, 3), QString());
    }
    // Server text stays plain; the buttons speak Russian whatever the machine's language (the
    // tests run in the C locale), even without Qt's translations.
    void boxesShowPlainTextWithRussianButtons()
    {
        const QString markup = u"<b>Жирный</b> <a href=\"http://example.invalid\">ссылка</a>"_s;
        std::unique_ptr<QMessageBox> note(
            createMessageBox({markup + u"\rвторая\r\nтретья"_s, {}, Icon::Information}));
        QCOMPARE(note->textFormat(), Qt::PlainText);
        QCOMPARE(note->text(), markup + u"\nвторая\nтретья"_s);
        QCOMPARE(note->windowTitle(), u"Quorvel"_s);
        QCOMPARE(note->icon(), QMessageBox::Information);
        QCOMPARE(note->standardButtons(), QMessageBox::Ok);
        std::unique_ptr<QMessageBox> question(
            createMessageBox({u"?"_s, u"Сервер рецептур"_s, Icon::Question, Buttons::YesNo}));
        QCOMPARE(question->windowTitle(), u"Сервер рецептур"_s);
        QCOMPARE(question->icon(), QMessageBox::Question);
        QCOMPARE(question->standardButtons(), QMessageBox::Yes | QMessageBox::No);
        std::unique_ptr<QInputDialog> input(createInputDialog(u"Введите текст сообщения:"_s, u"Т"_s));
        QCOMPARE(
            (QStringList{question->button(QMessageBox::Yes)->text(),
                         question->button(QMessageBox::No)->text(), note->button(QMessageBox::Ok)->text(),
                         input->okButtonText(), input->cancelButtonText()}),
            (QStringList{u"Да"_s, u"Нет"_s, u"ОК"_s, u"ОК"_s, u"Отмена"_s}));

        // Qt's own texts (context menus, file dialogs) come from its Russian translations.
        QVERIFY(installRussianTranslations(*QCoreApplication::instance()));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Save"), u"Сохранить"_s);
    }

    // A long text is shown whole, in a box that stays within the (offscreen, 800 × 600) screen.
    void longBoxesStayWithinTheScreen()
    {
        const QString line = QString(65, u'щ') + u'\n';
        for (const QString& text : {line.repeated(60), QString(4000, u'Ш')}) {
            std::unique_ptr<QMessageBox> box(createMessageBox({text, {}, Icon::Information}));
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            QVERIFY(box->screen()->availableGeometry().contains(box->frameGeometry()));
            const auto* view = box->findChild<QPlainTextEdit*>(); // in place of the box's label
            QCOMPARE(view ? view->toPlainText() : box->text(), text);
            // Seen, not only held: the text and the button lie inside the box.
            const QWidget* shown = view ? view : box->findChild<QWidget*>(u"qt_msgbox_label"_s);
            for (const QWidget* part : {shown, static_cast<const QWidget*>(box->buttons().first())})
                QVERIFY(part->isVisible() &&
                        box->rect().contains(QRect(part->mapTo(box.get(), QPoint()), part->size())));
        }
    }

    // A fresh account has no documents folder: file dialogs start at home, not
    // in whatever folder the program was started from.
    void fileDialogsStartInDocumentsOrHome()
    {
#ifdef Q_OS_WIN
        QSKIP("Windows finds the documents folder among the account's known folders, not under HOME");
#endif
        QTemporaryDir home;
        const QByteArray saved = qgetenv("HOME");
        qputenv("HOME", home.path().toUtf8());
        const QString bare = inDocuments(u"отчет.pdf"_s);
        QVERIFY(QDir(home.path()).mkdir(u"Documents"_s));
        const QString documents = inDocuments(u"отчет.pdf"_s);
        qputenv("HOME", saved);
        QCOMPARE(bare, home.filePath(u"отчет.pdf"_s));
        QCOMPARE(documents, home.filePath(u"Documents/отчет.pdf"_s));
    }

    void showErrorAndOtherBoxesReachTheScript()
    {
        ScriptedDialogs dialogs;
        dialogs.expectBox();
        dialogs.expectBox();
        dialogs.expectBox(Answer::No);
        showInputError(u"Необходимо выбрать группу!"_s);
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

    void sharesTheProductsSections()
    {
        TempSettings temp;
        QSettings otherPrograms(SettingsStore::fileName(), QSettings::IniFormat);
        QCOMPARE(GetReg(RegSection::UserInterface, u"Brastel.FontSize"_s, u"24"_s), u"24"_s);
        QVERIFY(!QFile::exists(SettingsStore::fileName())); // reading creates nothing
        SaveReg(RegSection::UserInterface, u"Brastel.FontSize"_s, u"18"_s);
        QCOMPARE(GetReg(15, u"Brastel.FontSize"_s, QString()), u"18"_s); // 15 keeps UserInterface
        QCOMPARE(GetReg(RegSection::Data, u"Brastel.FontSize"_s, u"none"_s), u"none"_s);
        SaveReg(-1, u"k"_s, u" abc "_s); // still Data; neither trimmed nor checked
        SaveReg(RegSection::DocumentsTK, u"Width"_s, u"5"_s);
        QCOMPARE(otherPrograms.value(u"Data/k"_s).toString() +
                     otherPrograms.value(u"Documents/TK/Width"_s).toString(),
                 u" abc 5"_s);
        otherPrograms.setValue(u"Data/QuorvelResizeStatus"_s, u"2"_s);
        otherPrograms.setValue(u"User/Name_POP"_s, u"Столовая №1"_s);
        QCOMPARE((QStringList{Setting::ResizeStatus.get(), Setting::NamePOP.get(), Setting::FontSize.get()}),
                 (QStringList{u"2"_s, u"Столовая №1"_s, u"18"_s}));
    }

    // As another program sharing the store writes it, the comma unquoted.
    void readsTextWithACommaAsWritten()
    {
        const std::pair<QString, QString> cases[] = {
            {u"a,b ,  c"_s, u"a,b ,  c"_s}, {u"\"a, b\""_s, u"a, b"_s}, {u"\"a\", b"_s, u"a, b"_s}};
        for (const auto& [line, read] : cases) {
            TempSettings temp;
            QFile file(SettingsStore::fileName());
            QVERIFY(QDir().mkpath(QFileInfo(file).path()) && file.open(QIODevice::WriteOnly));
            file.write("[User]\nName_POP=" + line.toUtf8() + "\n");
            file.close();
            QCOMPARE(Setting::NamePOP.get(), read);
        }
    }
};

QTEST_MAIN(TestCommon)
#include "TestCommon.moc"
