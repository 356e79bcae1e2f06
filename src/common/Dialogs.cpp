#include "common/Dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStandardPaths>
#include <QStyle>

#include <algorithm>
#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace Dialogs {
namespace {

QString displayText(QString text)
{
    // The program's line break is a lone carriage return; a Qt label only
    // breaks on line feeds.
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    return text;
}

// Up to these bounds a message box's own label keeps the box within a screen
// of 800 × 600 pixels; past them the label would push it off the screen.
constexpr qsizetype kLabelMaxChars = 1000;
constexpr qsizetype kLabelMaxLines = 20;

bool fitsInLabel(const QString& shown)
{
    return shown.size() <= kLabelMaxChars && shown.count(u'\n') < kLabelMaxLines;
}

// Puts a read-only view in place of the box's label, sized to its text but
// no larger than the screen leaves room for, so a long text is still shown
// whole: what does not fit is scrolled to.
void showInScrollingView(QMessageBox& dialog, const QString& shown)
{
    auto* label = dialog.findChild<QLabel*>(u"qt_msgbox_label"_s);
    if (!label || !dialog.layout())
        return;
    auto* view = new QPlainTextEdit(&dialog);
    view->setObjectName(u"qt_msgbox_scrolled_text"_s);
    view->setReadOnly(true);
    view->setPlainText(shown);
    view->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    const QScreen* screen = dialog.parentWidget() ? dialog.parentWidget()->screen() : dialog.screen();
    const QRect room = screen->availableGeometry();
    const QFontMetrics metrics(view->font());
    const int margins = 2 * (view->frameWidth() + int(view->document()->documentMargin()));
    const int scrollBar = view->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view);
    const QStringList lines = shown.split(u'\n');
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, metrics.horizontalAdvance(line));
    // The icon, the margins and the buttons take the rest of the room.
    const int width = std::min(widest + margins + scrollBar, room.width() * 2 / 3);
    const int textWidth = std::max(1, width - margins - scrollBar);
    qsizetype rows = 0;
    for (const QString& line : lines)
        rows += std::max(1, (metrics.horizontalAdvance(line) + textWidth - 1) / textWidth);
    const int wanted = int(std::min<qsizetype>(rows, 1000)) * metrics.lineSpacing() + margins;
    const int height = std::max(3 * metrics.lineSpacing(), std::min(wanted, room.height() - 200));
    view->setFixedSize(width, height);

    delete dialog.layout()->replaceWidget(label, view); // the label's old item is ours to free
    label->hide();
}

QString orDefaultTitle(const QString& title)
{
    return title.isEmpty() ? QString::fromUtf16(kApplicationTitle) : title;
}

class QtBackend final : public Backend
{
public:
    Answer message(const Box& box) override
    {
        std::unique_ptr<QMessageBox> dialog(createMessageBox(box, QApplication::activeWindow()));
        const int result = dialog->exec();
        if (box.buttons == Buttons::Ok)
            return Answer::Ok;
        return result == QMessageBox::Yes ? Answer::Yes : Answer::No;
    }

    QString input(const QString& prompt, const QString& title) override
    {
        std::unique_ptr<QInputDialog> dialog(createInputDialog(prompt, title, QApplication::activeWindow()));
        return dialog->exec() == QDialog::Accepted ? dialog->textValue() : QString();
    }

    QString saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter) override
    {
        return QFileDialog::getSaveFileName(QApplication::activeWindow(), caption, suggestedPath, filter);
    }

    QString openFileName(const QString& caption, const QString& folder, const QString& filter) override
    {
        return QFileDialog::getOpenFileName(QApplication::activeWindow(), caption, folder, filter);
    }
};

QtBackend& qtBackend()
{
    static QtBackend backend;
    return backend;
}

Backend* g_backend = nullptr;

Backend& backend()
{
    return g_backend ? *g_backend : qtBackend();
}

} // namespace

Answer message(const QString& text, Buttons buttons, Icon icon, const QString& title)
{
    return backend().message(Box{text, orDefaultTitle(title), icon, buttons});
}

QString input(const QString& prompt, const QString& title)
{
    return backend().input(prompt, orDefaultTitle(title));
}

QString saveFileName(const QString& caption, const QString& suggestedPath, const QString& filter)
{
    return backend().saveFileName(caption, suggestedPath, filter);
}

QString inDocuments(const QString& fileName)
{
    const QDir documents(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    return (documents.exists() ? documents : QDir::home()).filePath(fileName);
}

QString openFileName(const QString& caption, const QString& folder, const QString& filter)
{
    return backend().openFileName(caption, folder, filter);
}

void setBackend(Backend* replacement)
{
    g_backend = replacement;
}

QMessageBox* createMessageBox(const Box& box, QWidget* parent)
{
    auto* dialog = new QMessageBox(parent);
    // The format must be set before the text: with AutoText, Qt decides per
    // text whether it is rich text, and server text could carry markup.
    dialog->setTextFormat(Qt::PlainText);
    dialog->setTextInteractionFlags(Qt::TextSelectableByMouse);
    dialog->setWindowTitle(orDefaultTitle(box.title));
    const QString shown = displayText(box.text);
    dialog->setText(shown);
    if (auto* label = dialog->findChild<QLabel*>(u"qt_msgbox_label"_s))
        label->setOpenExternalLinks(false);
    switch (box.icon) {
    case Icon::None:
        dialog->setIcon(QMessageBox::NoIcon);
        break;
    case Icon::Information:
        dialog->setIcon(QMessageBox::Information);
        break;
    case Icon::Question:
        dialog->setIcon(QMessageBox::Question);
        break;
    case Icon::Critical:
        dialog->setIcon(QMessageBox::Critical);
        break;
    }
    // The buttons carry their Russian texts themselves, so a box is right
    // even where Qt's translations are missing.
    if (box.buttons == Buttons::YesNo) {
        dialog->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        dialog->setDefaultButton(QMessageBox::Yes);
        dialog->button(QMessageBox::Yes)->setText(u"Да"_s);
        dialog->button(QMessageBox::No)->setText(u"Нет"_s);
    } else {
        dialog->setStandardButtons(QMessageBox::Ok);
        dialog->button(QMessageBox::Ok)->setText(u"ОК"_s);
    }
    // Last: setting the icon lays the box out anew around its label, which
    // would leave the view outside the layout, the box shrunk to its hidden label.
    if (!fitsInLabel(shown))
        showInScrollingView(*dialog, shown);
    return dialog;
}

QInputDialog* createInputDialog(const QString& prompt, const QString& title, QWidget* parent)
{
    auto* dialog = new QInputDialog(parent);
    dialog->setWindowTitle(orDefaultTitle(title));
    dialog->setLabelText(displayText(prompt));
    dialog->setInputMode(QInputDialog::TextInput);
    dialog->setOkButtonText(u"ОК"_s);
    dialog->setCancelButtonText(u"Отмена"_s);
    if (auto* label = dialog->findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    return dialog;
}

} // namespace Dialogs
