#include "common/AccessibleNames.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <QHash>
#include <QList>
#include <QScrollBar>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

struct Entry
{
    QString control;     // object name
    QString name;        // empty: the caption, or the label tied to it, names it
    QString description; // what it holds and which keys work in it
    QString toolTip;     // empty: left as it is
};

// A name is set where the caption says too little ("&Х", "&М", an icon) or
// no label is tied to the control; captions that change ("Добавить (3)")
// keep naming their button.
const QHash<QString, QList<Entry>>& tables()
{
    static const QHash<QString, QList<Entry>> tables{
        {u"fFeat"_s,
         {
             {u"tIP"_s, u"IP-сервера"_s, u"Адрес сервера рецептур"_s, {}},
             {u"tPort"_s, u"Порт сервера"_s, {}, {}},
             {u"cLocal"_s, {}, u"Подставить адрес этого компьютера"_s, {}},
             {u"cCon"_s, {}, u"Подключиться к серверу"_s, {}},
             {u"cDisCon"_s, {}, u"Отключиться от сервера"_s, {}},
             {u"lStatus"_s, u"Лог сервера"_s, u"Подключения и сообщения сервера"_s, {}},
             {u"tFont"_s,
              u"Размер шрифта, пт."_s,
              u"Размер шрифта окна расчета калорийности; действует при следующем его открытии"_s,
              {}},
         }},
        {u"fEnergy"_s,
         {
             {u"cMan"_s, u"Мужчины"_s, {}, {}},
             {u"cGirl"_s, u"Женщины"_s, {}, {}},
             {u"cKFA"_s, u"КФА"_s, u"Коэффициент физической активности"_s, {}},
             {u"cVozr"_s, u"Возраст"_s, u"Возрастная группа"_s, {}},
             {u"lBases"_s,
              u"Сборники рецептур"_s,
              u"Набранный текст ищет сборник, стрелки вверх и вниз ведут к следующему найденному, "
              u"Esc сбрасывает поиск, Enter переходит к блюдам"_s,
              {}},
             {u"lDishes"_s,
              u"Блюда"_s,
              u"Блюда выбранного сборника; набранный текст ищет блюдо, Enter добавляет его в рацион"_s,
              {}},
             {u"lFindBB"_s, {}, u"Текст поиска в сборниках"_s, {}},
             {u"lFindD"_s, {}, u"Текст поиска в блюдах"_s, {}},
             {u"tOut"_s,
              u"Выход, г"_s,
              u"Выход блюда в граммах, составной выход (150/50) складывается; Enter добавляет блюдо"_s,
              {}},
             {u"cClear"_s, u"Очистить выход"_s, u"Вернуть выход рецептуры"_s, {}},
             {u"lHS"_s, {}, u"Состав блюда при указанном выходе"_s, {}},
             {u"cAdd"_s, {}, u"Добавить блюдо в рацион"_s, {}},
             {u"cClearall"_s, {}, u"Очистить рацион"_s, {}},
             {u"cPrint"_s, {}, u"Предварительный просмотр отчета"_s, {}},
             {u"cRation"_s, {}, u"Блюда рациона, их правка и файлы"_s, {}},
         }},
        {u"fRation"_s,
         {
             {u"lGroup"_s, {}, u"Группа и ее суточная потребность"_s, {}},
             {u"tRation"_s,
              u"Рацион"_s,
              u"Блюда по порядку, последняя строка — итого; Delete удаляет, Ctrl+Up и Ctrl+Down "
              u"перемещают, F2 меняет выход"_s,
              {}},
             {u"cDelete"_s, {}, {}, u"Удалить (Delete)"_s},
             {u"cUp"_s, {}, {}, u"Выше (Ctrl+Up)"_s},
             {u"cDown"_s, {}, {}, u"Ниже (Ctrl+Down)"_s},
         }},
        {u"fPreView"_s,
         {
             {u"cmdPrint"_s, u"Печать"_s, u"Печатает страницу на принтере из списка (Alt+П)"_s, {}},
             {u"cPrinters"_s, u"Принтеры"_s, {}, {}},
             {u"piBack"_s, u"Просмотр страницы"_s, {}, {}},
             {u"PI"_s, u"Страница отчета"_s, u"Стрелки прокручивают страницу, Esc закрывает окно"_s, {}},
         }},
    };
    return tables;
}

// A plain QWidget reads as a nameless "filler"; these windows are windows.
QAccessibleInterface* windowRole(const QString&, QObject* object)
{
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget && widget->isWindow() && tables().contains(widget->objectName()))
        return new QAccessibleWidget(widget, QAccessible::Window);
    return nullptr;
}

} // namespace

namespace AccessibleNames {

void describe(QWidget* window)
{
    static const bool windowRoleInstalled = [] {
        QAccessible::installFactory(windowRole);
        return true;
    }();
    Q_UNUSED(windowRoleInstalled)
    for (const Entry& entry : tables().value(window->objectName())) {
        auto* control = window->findChild<QWidget*>(entry.control);
        if (!control)
            continue;
        if (!entry.name.isEmpty())
            control->setAccessibleName(entry.name);
        if (!entry.description.isEmpty())
            control->setAccessibleDescription(entry.description);
        if (!entry.toolTip.isEmpty())
            control->setToolTip(entry.toolTip);
    }
    for (QAbstractItemView* view : window->findChildren<QAbstractItemView*>())
        view->setTabKeyNavigation(false);
    for (QScrollBar* bar : window->findChildren<QScrollBar*>())
        bar->setAccessibleName(bar->orientation() == Qt::Vertical ? u"Прокрутка по вертикали"_s
                                                                  : u"Прокрутка по горизонтали"_s);
}

} // namespace AccessibleNames
