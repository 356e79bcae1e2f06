#include "desktop/Desktop.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>

#include <functional>
#include <memory>

#include <atspi/atspi.h>

using namespace Qt::Literals::StringLiterals;

namespace {

// Every AT-SPI object and interface is a GObject reference of the caller's.
template <typename T> std::shared_ptr<T> own(T* object)
{
    return std::shared_ptr<T>(object, [](T* o) {
        if (o)
            g_object_unref(o);
    });
}
using Node = std::shared_ptr<AtspiAccessible>;

QString text(gchar* owned)
{
    const QString result = QString::fromUtf8(owned).trimmed();
    g_free(owned);
    return result;
}

QString name(const Node& node)
{
    return text(atspi_accessible_get_name(node.get(), nullptr));
}

bool is(const Node& node, AtspiStateType state)
{
    return atspi_state_set_contains(own(atspi_accessible_get_state_set(node.get())).get(), state);
}

// Linux screen readers take the name of a drop-down list from the label
// tied to it, as Qt and GTK expose it.
QString label(const Node& node)
{
    GArray* relations = atspi_accessible_get_relation_set(node.get(), nullptr);
    QString found;
    for (guint i = 0; relations && i < relations->len; ++i) {
        const auto relation = own(g_array_index(relations, AtspiRelation*, i));
        if (atspi_relation_get_relation_type(relation.get()) == ATSPI_RELATION_LABELLED_BY)
            found += name(own(atspi_relation_get_target(relation.get(), 0)));
    }
    if (relations)
        g_array_free(relations, TRUE);
    return found;
}

QStringList actions(const Node& node)
{
    QStringList result;
    const auto action = own(atspi_accessible_get_action_iface(node.get()));
    for (int i = 0; action && i < atspi_action_get_n_actions(action.get(), nullptr); ++i)
        result << text(atspi_action_get_action_name(action.get(), i, nullptr));
    return result;
}

void act(const Node& node, const QString& what)
{
    const auto action = own(atspi_accessible_get_action_iface(node.get()));
    QVERIFY(action && atspi_action_do_action(action.get(), actions(node).indexOf(what), nullptr));
}

// Visits the showing nodes under `root` depth first until `visit` says
// stop; lists and tables are visited, not their entries (the server's text).
Node walk(const Node& root, const std::function<bool(const Node&)>& visit)
{
    for (int i = 0; i < atspi_accessible_get_child_count(root.get(), nullptr); ++i) {
        const Node child = own(atspi_accessible_get_child_at_index(root.get(), i, nullptr));
        if (!is(child, ATSPI_STATE_SHOWING))
            continue;
        if (visit(child))
            return child;
        const AtspiRole role = atspi_accessible_get_role(child.get(), nullptr);
        if (role != ATSPI_ROLE_LIST && role != ATSPI_ROLE_TABLE)
            if (Node found = walk(child, visit))
                return found;
    }
    return nullptr;
}

Node find(const Node& root, AtspiRole role, const QString& prefix)
{
    return walk(root, [&](const Node& node) {
        return atspi_accessible_get_role(node.get(), nullptr) == role && name(node).startsWith(prefix);
    });
}

QString cell(const Node& table, int row, int column)
{
    const auto grid = own(atspi_accessible_get_table_iface(table.get()));
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

    Node waitFor(const Node& root, AtspiRole role, const QString& prefix)
    {
        Node found;
        return QTest::qWaitFor([&] { return (found = find(root, role, prefix)) != nullptr; }, 20000)
                   ? found
                   : nullptr;
    }

private slots:
    void initTestCase()
    {
        const QString port = g_desktop->startDemoServer();
        QVERIFY(!port.isEmpty());
        QProcessEnvironment environment = g_desktop->environment();
        QProcess& bus = g_desktop->start(
            u"dbus-daemon"_s, {u"--session"_s, u"--nofork"_s, u"--print-address=1"_s}, environment);
        QVERIFY(QTest::qWaitFor([&] { return bus.canReadLine(); }, 30000));
        const QByteArray address = bus.readLine().trimmed();
        environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_s, QString::fromUtf8(address));
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        g_desktop->start(u"/usr/libexec/at-spi-bus-launcher"_s, {u"--launch-immediately"_s}, environment);
        environment.insert(u"QT_LINUX_ACCESSIBILITY_ALWAYS_ON"_s, u"1"_s);
        g_desktop->startProgram(port, m_home.path(), environment);
        QCOMPARE(atspi_init(), 0);
        m_app = waitFor(own(atspi_get_desktop(0)), ATSPI_ROLE_APPLICATION, u"Quorvel"_s);
        QVERIFY(m_app);
        // Names change under the reader (the add button counts its dishes).
        atspi_accessible_set_cache_mask(m_app.get(), ATSPI_CACHE_NONE);
    }

    // Pick a dish, type a weight, add it, open the ration and read its totals,
    // then open the preview: every reachable control of the four windows
    // carries a name.
    void aWholeTaskByTheAccessibilityTreeAlone()
    {
        const Node fitness = waitFor(m_app, ATSPI_ROLE_FRAME, u"Запрос калорийности с сервера"_s);
        QVERIFY(fitness);
        const Node dishes = find(fitness, ATSPI_ROLE_LIST, u"Блюда"_s);
        QVERIFY(dishes);
        QVERIFY(QTest::qWaitFor([&] { return atspi_accessible_get_child_count(dishes.get(), nullptr) > 1; },
                                20000));
        act(own(atspi_accessible_get_child_at_index(dishes.get(), 0, nullptr)), u"Toggle"_s);
        const Node weight = find(fitness, ATSPI_ROLE_TEXT, u"Выход, г"_s);
        const auto weightText = [&] {
            return text(atspi_text_get_text(own(atspi_accessible_get_text_iface(weight.get())).get(), 0, -1,
                                            nullptr));
        };
        QVERIFY(QTest::qWaitFor([&] { return !weightText().isEmpty(); }, 20000)); // the composition came
        const auto editable = own(atspi_accessible_get_editable_text_iface(weight.get()));
        QVERIFY(editable && atspi_editable_text_set_text_contents(editable.get(), "150", nullptr));
        QCOMPARE(weightText(), u"150"_s);
        const Node add = find(fitness, ATSPI_ROLE_PUSH_BUTTON, u"Добавить"_s);
        act(add, u"Press"_s);
        QTRY_COMPARE(name(add), u"Добавить (1)"_s);

        act(find(fitness, ATSPI_ROLE_PUSH_BUTTON, u"Рацион"_s), u"Press"_s);
        const Node ration = waitFor(m_app, ATSPI_ROLE_FRAME, u"Рацион"_s);
        QVERIFY(ration);
        const Node table = find(ration, ATSPI_ROLE_TABLE, u"Рацион"_s);
        QCOMPARE(atspi_table_get_n_rows(own(atspi_accessible_get_table_iface(table.get())).get(), nullptr),
                 2);
        QCOMPARE(cell(table, 0, 2), u"150"_s);
        QCOMPARE(cell(table, 1, 1), u"Итого:"_s);
        // One dish: the totals are its own figures, kcal and share included.
        for (int column = 3; column < 8; ++column)
            QVERIFY(!cell(table, 0, column).isEmpty() && cell(table, 1, column) == cell(table, 0, column));

        act(find(fitness, ATSPI_ROLE_PUSH_BUTTON, u"Печать"_s), u"Press"_s);
        const Node preview = waitFor(m_app, ATSPI_ROLE_FRAME, u"Предварительный просмотр"_s);
        QVERIFY(preview && find(preview, ATSPI_ROLE_PUSH_BUTTON, u"Печать"_s));
        const Node main = find(m_app, ATSPI_ROLE_FRAME, u"Клиент"_s);
        QVERIFY(main);
        // What a user reaches (by Tab, or by an action) and cannot hear named.
        QStringList unnamed;
        for (const Node& window : {main, fitness, ration, preview})
            walk(window, [&](const Node& node) {
                if ((is(node, ATSPI_STATE_FOCUSABLE) || !actions(node).isEmpty()) && name(node).isEmpty() &&
                    label(node).isEmpty())
                    unnamed << name(window) + u" > "_s +
                                   text(atspi_accessible_get_role_name(node.get(), nullptr));
                return false;
            });
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(u"; "_s)));
    }

    void cleanupTestCase() { atspi_exit(); }
};

int main(int argc, char* argv[])
{
    return runOnDesktop<QCoreApplication, TestAccessibility>(argc, argv);
}

#include "TestAccessibility.moc"
