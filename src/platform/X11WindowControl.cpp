#include "platform/X11WindowControl.h"

#ifdef VANTOREL_HAVE_XCB

#include <QList>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_ewmh.h>

struct X11WindowControl::Private
{
    xcb_connection_t* connection = nullptr;
    xcb_ewmh_connection_t ewmh{};
    bool ewmhReady = false;

    ~Private()
    {
        if (ewmhReady)
            xcb_ewmh_connection_wipe(&ewmh);
        if (connection)
            xcb_disconnect(connection);
    }

    QList<xcb_window_t> roots() const
    {
        QList<xcb_window_t> list;
        for (auto it = xcb_setup_roots_iterator(xcb_get_setup(connection)); it.rem;
             xcb_screen_next(&it))
            list << it.data->root;
        return list;
    }

    QList<xcb_window_t> children(xcb_window_t window) const
    {
        QList<xcb_window_t> list;
        xcb_query_tree_reply_t* reply =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        if (!reply)
            return list;
        const xcb_window_t* kids = xcb_query_tree_children(reply);
        for (int i = 0; i < xcb_query_tree_children_length(reply); ++i)
            list << kids[i];
        std::free(reply);
        return list;
    }

    xcb_window_t rootOf(xcb_window_t window) const
    {
        xcb_query_tree_reply_t* reply =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, window), nullptr);
        if (!reply)
            return XCB_NONE;
        const xcb_window_t root = reply->root;
        std::free(reply);
        return root;
    }

    QString netWmName(xcb_window_t window)
    {
        if (!ewmhReady)
            return QString();
        xcb_ewmh_get_utf8_strings_reply_t name;
        if (!xcb_ewmh_get_wm_name_reply(&ewmh, xcb_ewmh_get_wm_name(&ewmh, window), &name, nullptr))
            return QString();
        const QString text = QString::fromUtf8(name.strings, name.strings_len);
        xcb_ewmh_get_utf8_strings_reply_wipe(&name);
        return text;
    }

    QString wmName(xcb_window_t window) const
    {
        const xcb_get_property_cookie_t cookie = xcb_get_property(
            connection, 0, window, XCB_ATOM_WM_NAME, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024);
        xcb_get_property_reply_t* reply = xcb_get_property_reply(connection, cookie, nullptr);
        if (!reply)
            return QString();
        const int length = xcb_get_property_value_length(reply);
        const QString text =
            QString::fromLatin1(static_cast<const char*>(xcb_get_property_value(reply)), length);
        std::free(reply);
        return text;
    }

    QString title(xcb_window_t window)
    {
        const QString name = netWmName(window);
        return name.isEmpty() ? wmName(window) : name;
    }

    // Sends a request whose failure (a window that has gone) is only collected.
    void check(xcb_void_cookie_t cookie) const
    {
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie))
            std::free(error);
    }
};

X11WindowControl::X11WindowControl(const QString& displayName) : d(std::make_unique<Private>())
{
    const QByteArray name = displayName.toLocal8Bit();
    xcb_connection_t* connection =
        xcb_connect(name.isEmpty() ? nullptr : name.constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return;
    }
    d->connection = connection;
    xcb_intern_atom_cookie_t* cookies = xcb_ewmh_init_atoms(connection, &d->ewmh);
    d->ewmhReady = xcb_ewmh_init_atoms_replies(&d->ewmh, cookies, nullptr) != 0;
}

X11WindowControl::~X11WindowControl() = default;

bool X11WindowControl::connected() const
{
    return d->connection != nullptr;
}

quint64 X11WindowControl::findWindow(const QString& exactTitle)
{
    if (!d->connection || exactTitle.isEmpty())
        return 0;
    QList<xcb_window_t> pending;
    for (const xcb_window_t root : d->roots())
        pending << d->children(root);
    while (!pending.isEmpty()) {
        const xcb_window_t window = pending.takeFirst();
        if (d->title(window) == exactTitle)
            return window;
        pending << d->children(window);
    }
    return 0;
}

void X11WindowControl::hide(quint64 window)
{
    if (!d->connection || window == 0)
        return;
    const auto id = static_cast<xcb_window_t>(window);
    d->check(xcb_unmap_window_checked(d->connection, id));
    // A window manager withdraws the window on this synthetic notice.
    const xcb_window_t root = d->rootOf(id);
    if (root != XCB_NONE) {
        xcb_unmap_notify_event_t event{};
        event.response_type = XCB_UNMAP_NOTIFY;
        event.event = root;
        event.window = id;
        d->check(xcb_send_event_checked(d->connection, 0, root,
                                        XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT |
                                            XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                                        reinterpret_cast<const char*>(&event)));
    }
    xcb_flush(d->connection);
}

void X11WindowControl::restore(quint64 window)
{
    if (!d->connection || window == 0)
        return;
    d->check(xcb_map_window_checked(d->connection, static_cast<xcb_window_t>(window)));
    xcb_flush(d->connection);
}

void X11WindowControl::raise(quint64 window)
{
    if (!d->connection || window == 0)
        return;
    const auto id = static_cast<xcb_window_t>(window);
    // With a window manager the activation request raises and focuses; without
    // one, restacking the window above its siblings does it.
    if (d->ewmhReady) {
        const xcb_window_t root = d->rootOf(id);
        int screen = 0;
        for (const xcb_window_t candidate : d->roots()) {
            if (candidate == root)
                break;
            ++screen;
        }
        xcb_ewmh_request_change_active_window(
            &d->ewmh, screen, id, XCB_EWMH_CLIENT_SOURCE_TYPE_OTHER, XCB_CURRENT_TIME, XCB_NONE);
    }
    const uint32_t above = XCB_STACK_MODE_ABOVE;
    d->check(xcb_configure_window_checked(d->connection, id, XCB_CONFIG_WINDOW_STACK_MODE, &above));
    xcb_flush(d->connection);
}

#endif
