#include "runtime/status_notifier.h"

#include "runtime/activation_token.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QMetaObject>
#include <QStringList>
#include <QVariantMap>

#include <memory>
#include <optional>
#include <vector>

// The item speaks two small freedesktop protocols on the session bus: the
// StatusNotifierItem (icon, tooltip, clicks) registered with the host's
// watcher, and the DBusMenu that hosts show as the item's menu.

namespace runtime::sni {

struct Pixmap
{
    int width = 0;
    int height = 0;
    QByteArray argb;
};

struct ToolTip
{
    QString iconName;
    QList<Pixmap> pixmaps;
    QString title;
    QString text;
};

/// One node of the menu layout: id, properties, children (sent as variants).
struct MenuLayout
{
    int id = 0;
    QVariantMap properties;
    std::vector<MenuLayout> children;
};

struct MenuItemProperties
{
    int id = 0;
    QVariantMap properties;
};

struct MenuEvent
{
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};

QDBusArgument& operator<<(QDBusArgument& out, const Pixmap& pixmap)
{
    out.beginStructure();
    out << pixmap.width << pixmap.height << pixmap.argb;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, Pixmap& pixmap)
{
    in.beginStructure();
    in >> pixmap.width >> pixmap.height >> pixmap.argb;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const ToolTip& tip)
{
    out.beginStructure();
    out << tip.iconName << tip.pixmaps << tip.title << tip.text;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, ToolTip& tip)
{
    in.beginStructure();
    in >> tip.iconName >> tip.pixmaps >> tip.title >> tip.text;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const MenuLayout& layout);

const QDBusArgument& operator>>(const QDBusArgument& in, MenuLayout& layout)
{
    // Hosts send no layouts; read the node itself and skip its children.
    in.beginStructure();
    in >> layout.id >> layout.properties;
    in.beginArray();
    while (!in.atEnd()) {
        QDBusVariant child;
        in >> child;
    }
    in.endArray();
    in.endStructure();
    return in;
}

const QDBusArgument& operator>>(const QDBusArgument& in, MenuItemProperties& item)
{
    in.beginStructure();
    in >> item.id >> item.properties;
    in.endStructure();
    return in;
}

QDBusArgument& operator<<(QDBusArgument& out, const MenuItemProperties& item)
{
    out.beginStructure();
    out << item.id << item.properties;
    out.endStructure();
    return out;
}

QDBusArgument& operator<<(QDBusArgument& out, const MenuEvent& event)
{
    out.beginStructure();
    out << event.id << event.eventId << event.data << event.timestamp;
    out.endStructure();
    return out;
}

const QDBusArgument& operator>>(const QDBusArgument& in, MenuEvent& event)
{
    in.beginStructure();
    in >> event.id >> event.eventId >> event.data >> event.timestamp;
    in.endStructure();
    return in;
}

} // namespace runtime::sni

Q_DECLARE_METATYPE(runtime::sni::Pixmap)
Q_DECLARE_METATYPE(runtime::sni::ToolTip)
Q_DECLARE_METATYPE(runtime::sni::MenuLayout)
Q_DECLARE_METATYPE(runtime::sni::MenuItemProperties)
Q_DECLARE_METATYPE(runtime::sni::MenuEvent)

namespace runtime::sni {

QDBusArgument& operator<<(QDBusArgument& out, const MenuLayout& layout)
{
    out.beginStructure();
    out << layout.id << layout.properties;
    out.beginArray(qMetaTypeId<QDBusVariant>());
    for (const MenuLayout& child : layout.children)
        out << QDBusVariant(QVariant::fromValue(child));
    out.endArray();
    out.endStructure();
    return out;
}

} // namespace runtime::sni

namespace runtime {

namespace {

using namespace sni;

const QString ItemPath = QStringLiteral("/StatusNotifierItem");
const QString MenuPath = QStringLiteral("/MenuBar");
const QString ItemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString MenuInterface = QStringLiteral("com.canonical.dbusmenu");
const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString IntrospectableInterface = QStringLiteral("org.freedesktop.DBus.Introspectable");
const QString WatcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

/// What the item shows and whom it tells. GUI thread only.
struct ItemState
{
    bool onBus = false;
    QString serviceName;
    QString title;
    QList<Pixmap> icon;
    QString toolTip;
    std::vector<StatusNotifierMenuItem> menu;
    uint menuRevision = 1;
    StatusNotifierHandlers handlers;
};

ItemState& State()
{
    static ItemState state;
    return state;
}

void RegisterTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<Pixmap>();
        qDBusRegisterMetaType<QList<Pixmap>>();
        qDBusRegisterMetaType<ToolTip>();
        qDBusRegisterMetaType<MenuLayout>();
        qDBusRegisterMetaType<MenuItemProperties>();
        qDBusRegisterMetaType<QList<MenuItemProperties>>();
        qDBusRegisterMetaType<MenuEvent>();
        qDBusRegisterMetaType<QList<MenuEvent>>();
        return true;
    }();
    (void)registered;
}

/// Runs `f` on the GUI thread once the bus call that asked for it has been
/// answered: a handler may open a menu or a window, which must not happen
/// inside the bus's dispatch.
template <typename F> void Later(F f)
{
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(f), Qt::QueuedConnection);
}

void Reply(const QDBusConnection& connection, const QDBusMessage& reply)
{
    QDBusConnection(connection).send(reply);
}

void Signal(const QString& path, const QString& interface, const QString& name, const QVariantList& arguments = {})
{
    QDBusMessage signal = QDBusMessage::createSignal(path, interface, name);
    signal.setArguments(arguments);
    QDBusConnection::sessionBus().send(signal);
}

QVariant PropertyValue(const QVariantMap& properties, const QString& name)
{
    return properties.value(name);
}

// ---------------------------------------------------------------- the item

QVariantMap ItemProperties()
{
    const ItemState& s = State();
    ToolTip tip;
    tip.title = s.toolTip;
    return {
        {QStringLiteral("Category"), QStringLiteral("ApplicationStatus")},
        {QStringLiteral("Id"), QStringLiteral("zorvane")},
        {QStringLiteral("Title"), s.title},
        {QStringLiteral("Status"), QStringLiteral("Active")},
        {QStringLiteral("WindowId"), 0},
        {QStringLiteral("IconName"), QString()},
        {QStringLiteral("IconPixmap"), QVariant::fromValue(s.icon)},
        {QStringLiteral("IconThemePath"), QString()},
        {QStringLiteral("OverlayIconName"), QString()},
        {QStringLiteral("OverlayIconPixmap"), QVariant::fromValue(QList<Pixmap>())},
        {QStringLiteral("AttentionIconName"), QString()},
        {QStringLiteral("AttentionIconPixmap"), QVariant::fromValue(QList<Pixmap>())},
        {QStringLiteral("AttentionMovieName"), QString()},
        {QStringLiteral("ToolTip"), QVariant::fromValue(tip)},
        {QStringLiteral("ItemIsMenu"), false},
        {QStringLiteral("Menu"), QVariant::fromValue(QDBusObjectPath(MenuPath))},
    };
}

QVariantMap MenuBarProperties()
{
    return {
        {QStringLiteral("Version"), 3U},
        {QStringLiteral("TextDirection"), QStringLiteral("ltr")},
        {QStringLiteral("Status"), QStringLiteral("normal")},
        {QStringLiteral("IconThemePath"), QStringList()},
    };
}

/// Answers Get and GetAll of the properties interface from `properties`.
bool AnswerProperties(const QDBusMessage& message, const QDBusConnection& connection, const QString& interface,
                      const QVariantMap& properties)
{
    const QList<QVariant> args = message.arguments();
    if (message.member() == u"GetAll") {
        Reply(connection, message.createReply(QVariant::fromValue(properties)));
        return true;
    }
    if (message.member() == u"Get" && args.size() == 2 && args[0].toString() == interface &&
        properties.contains(args[1].toString())) {
        const QVariant value = PropertyValue(properties, args[1].toString());
        Reply(connection, message.createReply(QVariant::fromValue(QDBusVariant(value))));
        return true;
    }
    Reply(connection, message.createErrorReply(QDBusError::InvalidArgs, QStringLiteral("No such property")));
    return true;
}

/// Left to Qt, which answers it from the object's introspect() and adds the
/// standard interfaces; a virtual object that claims it hides both.
bool IsIntrospection(const QDBusMessage& message)
{
    return message.interface() == IntrospectableInterface ||
           (message.interface().isEmpty() && message.member() == u"Introspect");
}

class ItemObject : public QDBusVirtualObject
{
public:
    QString introspect(const QString&) const override
    {
        return QStringLiteral("<interface name=\"org.kde.StatusNotifierItem\">"
                              "<property name=\"Category\" type=\"s\" access=\"read\"/>"
                              "<property name=\"Id\" type=\"s\" access=\"read\"/>"
                              "<property name=\"Title\" type=\"s\" access=\"read\"/>"
                              "<property name=\"Status\" type=\"s\" access=\"read\"/>"
                              "<property name=\"WindowId\" type=\"i\" access=\"read\"/>"
                              "<property name=\"IconName\" type=\"s\" access=\"read\"/>"
                              "<property name=\"IconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
                              "<property name=\"IconThemePath\" type=\"s\" access=\"read\"/>"
                              "<property name=\"OverlayIconName\" type=\"s\" access=\"read\"/>"
                              "<property name=\"OverlayIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
                              "<property name=\"AttentionIconName\" type=\"s\" access=\"read\"/>"
                              "<property name=\"AttentionIconPixmap\" type=\"a(iiay)\" access=\"read\"/>"
                              "<property name=\"AttentionMovieName\" type=\"s\" access=\"read\"/>"
                              "<property name=\"ToolTip\" type=\"(sa(iiay)ss)\" access=\"read\"/>"
                              "<property name=\"ItemIsMenu\" type=\"b\" access=\"read\"/>"
                              "<property name=\"Menu\" type=\"o\" access=\"read\"/>"
                              "<method name=\"ContextMenu\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                              "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                              "<method name=\"Activate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                              "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                              "<method name=\"SecondaryActivate\"><arg name=\"x\" type=\"i\" direction=\"in\"/>"
                              "<arg name=\"y\" type=\"i\" direction=\"in\"/></method>"
                              "<method name=\"Scroll\"><arg name=\"delta\" type=\"i\" direction=\"in\"/>"
                              "<arg name=\"orientation\" type=\"s\" direction=\"in\"/></method>"
                              "<method name=\"ProvideXdgActivationToken\">"
                              "<arg name=\"token\" type=\"s\" direction=\"in\"/></method>"
                              "<signal name=\"NewTitle\"/><signal name=\"NewIcon\"/><signal name=\"NewAttentionIcon\"/>"
                              "<signal name=\"NewOverlayIcon\"/><signal name=\"NewToolTip\"/>"
                              "<signal name=\"NewStatus\"><arg name=\"status\" type=\"s\"/></signal>"
                              "</interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (IsIntrospection(message))
            return false;
        if (message.interface() == PropertiesInterface)
            return AnswerProperties(message, connection, ItemInterface, ItemProperties());
        const QString member = message.member();
        const StatusNotifierHandlers& handlers = State().handlers;
        if (member == u"ProvideXdgActivationToken") {
            // Kept at once, not later: the click it is meant for follows
            // right behind it.
            const QString token = message.arguments().value(0).toString();
            if (handlers.activationToken && IsActivationToken(token))
                handlers.activationToken(token);
        } else if (member == u"Activate") {
            if (handlers.activate)
                Later(handlers.activate);
        } else if (member == u"ContextMenu") {
            if (handlers.contextMenu)
                Later(handlers.contextMenu);
        } else if (member != u"SecondaryActivate" && member != u"Scroll") {
            Reply(connection, message.createErrorReply(QDBusError::UnknownMethod, member));
            return true;
        }
        Reply(connection, message.createReply());
        return true;
    }
};

// ---------------------------------------------------------------- the menu

/// The menu's ids: 0 is the root, row i of the menu is i + 1.
int MenuIdOfRow(size_t row)
{
    return static_cast<int>(row) + 1;
}

/// The access key marked the way the menu protocol marks it ("_Quit").
QString MenuLabel(const QString& caption)
{
    QString label;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        const QChar c = caption[i];
        if (c == u'_') {
            label += QStringLiteral("__");
        } else if (c == u'&' && i + 1 < caption.size() && caption[i + 1] == u'&') {
            label += u'&';
            ++i;
        } else {
            label += c == u'&' ? u'_' : c;
        }
    }
    return label;
}

QVariantMap Filtered(const QVariantMap& properties, const QStringList& wanted)
{
    if (wanted.isEmpty())
        return properties;
    QVariantMap kept;
    for (const QString& name : wanted) {
        if (properties.contains(name))
            kept.insert(name, properties.value(name));
    }
    return kept;
}

QVariantMap RowProperties(const StatusNotifierMenuItem& item)
{
    if (item.id < 0)
        return {{QStringLiteral("type"), QStringLiteral("separator")}};
    QVariantMap properties{
        {QStringLiteral("label"), MenuLabel(item.caption)},
        {QStringLiteral("enabled"), item.enabled},
        {QStringLiteral("visible"), true},
    };
    if (!item.png.isEmpty())
        properties.insert(QStringLiteral("icon-data"), item.png);
    return properties;
}

QVariantMap RootProperties()
{
    return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
}

/// The properties of menu id `id`; none for an unknown id.
std::optional<QVariantMap> PropertiesOfId(int id)
{
    const std::vector<StatusNotifierMenuItem>& menu = State().menu;
    if (id == 0)
        return RootProperties();
    if (id < 1 || static_cast<size_t>(id) > menu.size())
        return std::nullopt;
    return RowProperties(menu[static_cast<size_t>(id - 1)]);
}

MenuLayout LayoutOf(int parent, const QStringList& wanted)
{
    MenuLayout layout;
    layout.id = parent;
    layout.properties = Filtered(PropertiesOfId(parent).value_or(QVariantMap()), wanted);
    if (parent == 0) {
        const std::vector<StatusNotifierMenuItem>& menu = State().menu;
        for (size_t row = 0; row < menu.size(); ++row)
            layout.children.push_back({MenuIdOfRow(row), Filtered(RowProperties(menu[row]), wanted), {}});
    }
    return layout;
}

void MenuRowChosen(int id)
{
    const std::vector<StatusNotifierMenuItem>& menu = State().menu;
    if (id < 1 || static_cast<size_t>(id) > menu.size())
        return;
    const StatusNotifierMenuItem& item = menu[static_cast<size_t>(id - 1)];
    if (item.id < 0 || !item.enabled || !State().handlers.menuItemChosen)
        return;
    Later([chosen = State().handlers.menuItemChosen, itemId = item.id] { chosen(itemId); });
}

class MenuObject : public QDBusVirtualObject
{
public:
    QString introspect(const QString&) const override
    {
        return QStringLiteral(
            "<interface name=\"com.canonical.dbusmenu\">"
            "<property name=\"Version\" type=\"u\" access=\"read\"/>"
            "<property name=\"TextDirection\" type=\"s\" access=\"read\"/>"
            "<property name=\"Status\" type=\"s\" access=\"read\"/>"
            "<property name=\"IconThemePath\" type=\"as\" access=\"read\"/>"
            "<method name=\"GetLayout\"><arg type=\"i\" name=\"parentId\" direction=\"in\"/>"
            "<arg type=\"i\" name=\"recursionDepth\" direction=\"in\"/>"
            "<arg type=\"as\" name=\"propertyNames\" direction=\"in\"/>"
            "<arg type=\"u\" name=\"revision\" direction=\"out\"/>"
            "<arg type=\"(ia{sv}av)\" name=\"layout\" direction=\"out\"/></method>"
            "<method name=\"GetGroupProperties\"><arg type=\"ai\" name=\"ids\" direction=\"in\"/>"
            "<arg type=\"as\" name=\"propertyNames\" direction=\"in\"/>"
            "<arg type=\"a(ia{sv})\" name=\"properties\" direction=\"out\"/></method>"
            "<method name=\"GetProperty\"><arg type=\"i\" name=\"id\" direction=\"in\"/>"
            "<arg type=\"s\" name=\"name\" direction=\"in\"/>"
            "<arg type=\"v\" name=\"value\" direction=\"out\"/></method>"
            "<method name=\"Event\"><arg type=\"i\" name=\"id\" direction=\"in\"/>"
            "<arg type=\"s\" name=\"eventId\" direction=\"in\"/><arg type=\"v\" name=\"data\" direction=\"in\"/>"
            "<arg type=\"u\" name=\"timestamp\" direction=\"in\"/></method>"
            "<method name=\"EventGroup\"><arg type=\"a(isvu)\" name=\"events\" direction=\"in\"/>"
            "<arg type=\"ai\" name=\"idErrors\" direction=\"out\"/></method>"
            "<method name=\"AboutToShow\"><arg type=\"i\" name=\"id\" direction=\"in\"/>"
            "<arg type=\"b\" name=\"needUpdate\" direction=\"out\"/></method>"
            "<method name=\"AboutToShowGroup\"><arg type=\"ai\" name=\"ids\" direction=\"in\"/>"
            "<arg type=\"ai\" name=\"updatesNeeded\" direction=\"out\"/>"
            "<arg type=\"ai\" name=\"idErrors\" direction=\"out\"/></method>"
            "<signal name=\"ItemsPropertiesUpdated\"><arg type=\"a(ia{sv})\" name=\"updatedProps\"/>"
            "<arg type=\"a(ias)\" name=\"removedProps\"/></signal>"
            "<signal name=\"LayoutUpdated\"><arg type=\"u\" name=\"revision\"/>"
            "<arg type=\"i\" name=\"parent\"/></signal>"
            "<signal name=\"ItemActivationRequested\"><arg type=\"i\" name=\"id\"/>"
            "<arg type=\"u\" name=\"timestamp\"/></signal>"
            "</interface>");
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (IsIntrospection(message))
            return false;
        if (message.interface() == PropertiesInterface)
            return AnswerProperties(message, connection, MenuInterface, MenuBarProperties());
        const QString member = message.member();
        const QList<QVariant> args = message.arguments();
        if (member == u"GetLayout" && args.size() == 3) {
            const MenuLayout layout = LayoutOf(args[0].toInt(), args[2].toStringList());
            Reply(connection, message.createReply(QVariantList{QVariant::fromValue(State().menuRevision),
                                                               QVariant::fromValue(layout)}));
        } else if (member == u"GetGroupProperties" && args.size() == 2) {
            QList<MenuItemProperties> found;
            for (const int id : qdbus_cast<QList<int>>(args[0])) {
                if (const std::optional<QVariantMap> properties = PropertiesOfId(id))
                    found.append({id, Filtered(*properties, args[1].toStringList())});
            }
            Reply(connection, message.createReply(QVariant::fromValue(found)));
        } else if (member == u"GetProperty" && args.size() == 2) {
            const QVariant value = PropertiesOfId(args[0].toInt()).value_or(QVariantMap()).value(args[1].toString());
            Reply(connection, message.createReply(QVariant::fromValue(QDBusVariant(value))));
        } else if (member == u"Event" && args.size() == 4) {
            if (args[1].toString() == u"clicked")
                MenuRowChosen(args[0].toInt());
            Reply(connection, message.createReply());
        } else if (member == u"EventGroup" && args.size() == 1) {
            for (const MenuEvent& event : qdbus_cast<QList<MenuEvent>>(args[0])) {
                if (event.eventId == u"clicked")
                    MenuRowChosen(event.id);
            }
            Reply(connection, message.createReply(QVariant::fromValue(QList<int>())));
        } else if (member == u"AboutToShow") {
            Reply(connection, message.createReply(false));
        } else if (member == u"AboutToShowGroup") {
            Reply(connection, message.createReply(
                                  QVariantList{QVariant::fromValue(QList<int>()), QVariant::fromValue(QList<int>())}));
        } else {
            Reply(connection, message.createErrorReply(QDBusError::UnknownMethod, member));
        }
        return true;
    }
};

ItemObject& Item()
{
    static ItemObject* item = new ItemObject;
    return *item;
}

MenuObject& Menu()
{
    static MenuObject* menu = new MenuObject;
    return *menu;
}

QList<Pixmap> ToPixmaps(const QList<StatusNotifierPixmap>& icon)
{
    QList<Pixmap> pixmaps;
    for (const StatusNotifierPixmap& size : icon)
        pixmaps.append({size.width, size.height, size.argb});
    return pixmaps;
}

} // namespace

bool ShowStatusNotifier(const QString& title, const QList<StatusNotifierPixmap>& icon,
                        const StatusNotifierHandlers& handlers)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    RegisterTypes();
    ItemState& s = State();
    s.title = title;
    s.icon = ToPixmaps(icon);
    s.toolTip.clear();
    s.handlers = handlers;
    if (!s.onBus) {
        s.serviceName = QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid());
        if (!bus.registerVirtualObject(ItemPath, &Item()) || !bus.registerVirtualObject(MenuPath, &Menu()) ||
            !bus.registerService(s.serviceName)) {
            bus.unregisterObject(ItemPath);
            bus.unregisterObject(MenuPath);
            return false;
        }
        s.onBus = true;
    } else {
        Signal(ItemPath, ItemInterface, QStringLiteral("NewIcon"));
        Signal(ItemPath, ItemInterface, QStringLiteral("NewToolTip"));
    }
    // Told to whichever watcher runs now; a host that comes later asks anew.
    QDBusMessage registration =
        QDBusMessage::createMethodCall(WatcherService, QStringLiteral("/StatusNotifierWatcher"), WatcherService,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    registration << s.serviceName;
    bus.asyncCall(registration);
    return true;
}

void SetStatusNotifierIcon(const QList<StatusNotifierPixmap>& icon)
{
    ItemState& s = State();
    s.icon = ToPixmaps(icon);
    if (s.onBus)
        Signal(ItemPath, ItemInterface, QStringLiteral("NewIcon"));
}

void SetStatusNotifierToolTip(const QString& text)
{
    ItemState& s = State();
    s.toolTip = text;
    if (s.onBus)
        Signal(ItemPath, ItemInterface, QStringLiteral("NewToolTip"));
}

void SetStatusNotifierMenu(const std::vector<StatusNotifierMenuItem>& items)
{
    ItemState& s = State();
    s.menu = items;
    ++s.menuRevision;
    if (s.onBus)
        Signal(MenuPath, MenuInterface, QStringLiteral("LayoutUpdated"), QVariantList{s.menuRevision, 0});
}

void HideStatusNotifier()
{
    ItemState& s = State();
    if (!s.onBus)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(s.serviceName);
    bus.unregisterObject(ItemPath);
    bus.unregisterObject(MenuPath);
    s.onBus = false;
}

} // namespace runtime
