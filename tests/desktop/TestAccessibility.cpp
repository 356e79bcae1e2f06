#include "desktop/Desktop.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include <atspi/atspi.h>

using namespace Qt::Literals::StringLiterals;

namespace {

Desktop* g_desktop = nullptr;

using Node = std::shared_ptr<AtspiAccessible>;

Node own(AtspiAccessible* object)
{
    return Node(object, [](AtspiAccessible* o) {
        if (o)
            g_object_unref(o);
    });
}

QString text(gchar* owned)
{
    const QString result = QString::fromUtf8(owned);
    g_free(owned);
    return result;
}

QString name(const Node& node)
{
    return text(atspi_accessible_get_name(node.get(), nullptr)).trimmed();
}

AtspiRole role(const Node& node)
{
    return atspi_accessible_get_role(node.get(), nullptr);
}

QList<Node> childrenOf(const Node& node)
{
    QList<Node> result;
    const int count = atspi_accessible_get_child_count(node.get(), nullptr);
    for (int i = 0; i < count; ++i)
        result << own(atspi_accessible_get_child_at_index(node.get(), i, nullptr));
    return result;
}

bool showing(const Node& node)
{
    const std::unique_ptr<AtspiStateSet, void (*)(gpointer)> states(
        atspi_accessible_get_state_set(node.get()), g_object_unref);
    return atspi_state_set_contains(states.get(), ATSPI_STATE_SHOWING);
}

// Linux screen readers take the name of a drop-down list or an unnamed box
// from the label tied to it, as Qt and GTK expose it.
QString label(const Node& node)
{
    GArray* relations = atspi_accessible_get_relation_set(node.get(), nullptr);
    QString found;
    for (guint i = 0; relations && i < relations->len; ++i) {
        AtspiRelation* relation = g_array_index(relations, AtspiRelation*, i);
        if (found.isEmpty() && atspi_relation_get_relation_type(relation) == ATSPI_RELATION_LABELLED_BY &&
            atspi_relation_get_n_targets(relation) > 0)
            found = name(own(atspi_relation_get_target(relation, 0)));
        g_object_unref(relation);
    }
    if (relations)
        g_array_free(relations, TRUE);
    return found;
}

QStringList actions(const Node& node)
{
    QStringList result;
    const std::unique_ptr<AtspiAction, void (*)(gpointer)> action(
        atspi_accessible_get_action_iface(node.get()), g_object_unref);
    for (int i = 0; action && i < atspi_action_get_n_actions(action.get(), nullptr); ++i)
        result << text(atspi_action_get_action_name(action.get(), i, nullptr));
    return result;
}

void act(const Node& node, const QString& what)
{
    const std::unique_ptr<AtspiAction, void (*)(gpointer)> action(
        atspi_accessible_get_action_iface(node.get()), g_object_unref);
    QVERIFY(action && atspi_action_do_action(action.get(), actions(node).indexOf(what), nullptr));
}

// The first showing node under `root`, depth first, that `match` accepts.
Node find(const Node& root, const std::function<bool(const Node&)>& match)
{
    for (const Node& child : childrenOf(root)) {
        if (!showing(child))
            continue;
        if (match(child))
            return child;
        if (role(child) != ATSPI_ROLE_LIST && role(child) != ATSPI_ROLE_TABLE)
            if (Node found = find(child, match))
                return found;
    }
    return nullptr;
}

auto named(AtspiRole wanted, const QString& prefix)
{
    return [=](const Node& node) { return role(node) == wanted && name(node).startsWith(prefix); };
}

// What a user reaches (by Tab, or by an action) and cannot hear named. Lists
// and tables are checked themselves; their entries are the server's text.
void unnamed(const Node& root, QStringList& found)
{
    for (const Node& child : childrenOf(root)) {
        if (!showing(child))
            continue;
        const std::unique_ptr<AtspiStateSet, void (*)(gpointer)> states(
            atspi_accessible_get_state_set(child.get()), g_object_unref);
        const bool reachable =
            atspi_state_set_contains(states.get(), ATSPI_STATE_FOCUSABLE) || !actions(child).isEmpty();
        if (reachable && name(child).isEmpty() && label(child).isEmpty())
            found << name(root) + u" > "_s + text(atspi_accessible_get_role_name(child.get(), nullptr));
        if (role(child) != ATSPI_ROLE_LIST && role(child) != ATSPI_ROLE_TABLE)
            unnamed(child, found);
    }
}

QString cell(const Node& table, int row, int column)
{
    const std::unique_ptr<AtspiTable, void (*)(gpointer)> grid(atspi_accessible_get_table_iface(table.get()),
                                                               g_object_unref);
    return name(own(atspi_table_get_accessible_at(grid.get(), row, column, nullptr)));
}

} // namespace

// The real program read and driven through AT-SPI alone, as a screen reader
// user meets it, on a private session bus and accessibility bus.
class TestAccessibility : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home; // the program's settings, never the user's
    Node m_app;

    Node window(const QString& title)
    {
        Node found;
        const auto shown = [&] {
            found = find(m_app, named(ATSPI_ROLE_FRAME, title));
            return found != nullptr;
        };
        return QTest::qWaitFor(shown, 20000) ? found : nullptr;
    }

private slots:
    void initTestCase()
    {
        QProcessEnvironment environment = g_desktop->environment();
        QProcess& bus = g_desktop->start(
            u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s}, environment);
        QVERIFY(QTest::qWaitFor([&] { return bus.canReadLine(); }, 10000));
        const QString address = QString::fromUtf8(bus.readLine()).trimmed();
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, address);
        qputenv("DBUS_SESSION_BUS_ADDRESS", address.toUtf8());
        g_desktop->start(u"/usr/libexec/at-spi-bus-launcher"_s, {u"--launch-immediately"_s}, environment);
        QProcess& server = g_desktop->start(QStringLiteral(BRASTEL_DEMO_BINARY), {u"--port"_s, u"0"_s},
                                            QProcessEnvironment::systemEnvironment());
        QVERIFY(QTest::qWaitFor([&] { return server.canReadLine(); }, 30000));
        const QString port = QString::fromUtf8(server.readLine()).trimmed().section(u':', -1);
        for (const QString& name : {u"HOME"_s, u"XDG_CONFIG_HOME"_s, u"XDG_RUNTIME_DIR"_s})
            environment.insert(name, m_home.path());
        environment.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
        g_desktop->start(QStringLiteral(QUORVEL_BINARY), {u"--server"_s, u"127.0.0.1:"_s + port},
                         environment);

        QCOMPARE(atspi_init(), 0);
        const Node desktop = own(atspi_get_desktop(0));
        QVERIFY(QTest::qWaitFor(
            [&] {
                for (const Node& app : childrenOf(desktop))
                    if (name(app) == u"Quorvel")
                        m_app = app;
                return m_app != nullptr;
            },
            20000));
        // Names change under the reader (the add button counts its dishes).
        atspi_accessible_set_cache_mask(m_app.get(), ATSPI_CACHE_NONE);
    }

    // Pick a dish, type a weight, add it, open the ration and read its totals,
    // then open the preview: every reachable control of the four windows
    // carries a name, and the hidden command box is not among them.
    void aWholeTaskByTheAccessibilityTreeAlone()
    {
        const Node fitness = window(u"Запрос калорийности с сервера"_s);
        QVERIFY(fitness);
        Node dishes;
        QVERIFY(QTest::qWaitFor(
            [&] {
                dishes = find(fitness, named(ATSPI_ROLE_LIST, u"Блюда"_s));
                return dishes && atspi_accessible_get_child_count(dishes.get(), nullptr) > 1;
            },
            20000));
        act(own(atspi_accessible_get_child_at_index(dishes.get(), 0, nullptr)), u"Toggle"_s);

        const Node weight = find(fitness, named(ATSPI_ROLE_TEXT, u"Выход, г"_s));
        QVERIFY(weight);
        const auto weightText = [&] {
            const std::unique_ptr<AtspiText, void (*)(gpointer)> box(
                atspi_accessible_get_text_iface(weight.get()), g_object_unref);
            return text(atspi_text_get_text(box.get(), 0, -1, nullptr));
        };
        QVERIFY(QTest::qWaitFor([&] { return !weightText().isEmpty(); }, 20000)); // the composition came
        const std::unique_ptr<AtspiEditableText, void (*)(gpointer)> editable(
            atspi_accessible_get_editable_text_iface(weight.get()), g_object_unref);
        QVERIFY(editable && atspi_editable_text_set_text_contents(editable.get(), "150", nullptr));
        QCOMPARE(weightText(), u"150"_s);

        const Node add = find(fitness, named(ATSPI_ROLE_PUSH_BUTTON, u"Добавить"_s));
        QVERIFY(add);
        act(add, u"Press"_s);
        QTRY_COMPARE(name(add), u"Добавить (1)"_s);

        act(find(fitness, named(ATSPI_ROLE_PUSH_BUTTON, u"Рацион"_s)), u"Press"_s);
        const Node ration = window(u"Рацион"_s);
        QVERIFY(ration);
        const Node table = find(ration, named(ATSPI_ROLE_TABLE, u"Рацион"_s));
        QVERIFY(table);
        const std::unique_ptr<AtspiTable, void (*)(gpointer)> grid(
            atspi_accessible_get_table_iface(table.get()), g_object_unref);
        QCOMPARE(atspi_table_get_n_rows(grid.get(), nullptr), 2); // the dish and the totals
        QCOMPARE(cell(table, 0, 2), u"150"_s);
        QCOMPARE(cell(table, 1, 1), u"Итого:"_s);
        // One dish: the totals are its own figures, kcal and share included.
        for (int column = 3; column < 8; ++column) {
            QVERIFY(!cell(table, 0, column).isEmpty());
            QCOMPARE(cell(table, 1, column), cell(table, 0, column));
        }

        act(find(fitness, named(ATSPI_ROLE_PUSH_BUTTON, u"Печать"_s)), u"Press"_s);
        const Node preview = window(u"Предварительный просмотр"_s);
        QVERIFY(preview);
        QVERIFY(find(preview, named(ATSPI_ROLE_PUSH_BUTTON, u"Печать"_s)));

        const Node main = window(u"Клиент"_s);
        QVERIFY(main);
        QStringList found;
        for (const Node& shown : {main, fitness, ration, preview})
            unnamed(shown, found);
        QVERIFY2(found.isEmpty(), qPrintable(found.join(u"; "_s)));
        for (const QString& hidden : {u"Отсылка команд:"_s, u"Send!"_s})
            QVERIFY2(!find(main, [&](const Node& node) { return name(node) == hidden; }), qPrintable(hidden));
    }
};

int main(int argc, char* argv[])
{
    Desktop desktop;
    if (!desktop.error().isEmpty()) {
        qCritical("%s", qPrintable(desktop.error()));
        return 1;
    }
    g_desktop = &desktop;
    qputenv("DISPLAY", desktop.environment().value(u"DISPLAY"_s).toUtf8());
    QCoreApplication app(argc, argv);
    TestAccessibility test;
    const int result = QTest::qExec(&test, argc, argv);
    atspi_exit();
    return result;
}

#include "TestAccessibility.moc"
