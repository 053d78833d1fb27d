#include "platform/X11WindowControl.h"

#include <QCoreApplication>
#include <QTest>

#ifdef VANTOREL_HAVE_XCB
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {
// A plain top-level window of a second client, titled by WM_NAME or _NET_WM_NAME.
class OtherClient
{
public:
    OtherClient() : m_connection(xcb_connect(nullptr, nullptr)) {}
    ~OtherClient() { xcb_disconnect(m_connection); }
    bool ok() const { return !xcb_connection_has_error(m_connection); }

    xcb_window_t createWindow(const QByteArray& title, bool netName)
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
        const xcb_window_t window = xcb_generate_id(m_connection);
        xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 50, 50, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const xcb_atom_t property = netName ? atom("_NET_WM_NAME") : xcb_atom_t(XCB_ATOM_WM_NAME);
        const xcb_atom_t type = netName ? atom("UTF8_STRING") : xcb_atom_t(XCB_ATOM_STRING);
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, property, type, 8,
                            title.size(), title.constData());
        xcb_map_window(m_connection, window);
        mapState(window); // round trip: the window exists for everyone
        return window;
    }

    int mapState(xcb_window_t window)
    {
        xcb_get_window_attributes_reply_t* reply = xcb_get_window_attributes_reply(
            m_connection, xcb_get_window_attributes(m_connection, window), nullptr);
        const int state = reply ? reply->map_state : -1;
        std::free(reply);
        return state;
    }

private:
    xcb_atom_t atom(const char* name)
    {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, std::strlen(name), name), nullptr);
        const xcb_atom_t value = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return value;
    }

    xcb_connection_t* m_connection;
};
} // namespace
#endif

class TestX11WindowControl : public QObject
{
    Q_OBJECT
private slots:
    void noDisplayFindsNothing()
    {
#ifdef VANTOREL_HAVE_XCB
        X11WindowControl windows(QStringLiteral(":9999"));
        QVERIFY(!windows.connected());
        QCOMPARE(windows.findWindow(QStringLiteral("Vantorel Ingest")), quint64(0));
        windows.hide(5); // nothing to act on, and no failure
#else
        QSKIP("built without X11 window control");
#endif
    }
    void findHideRestoreRaise()
    {
#ifdef VANTOREL_HAVE_XCB
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("no X11 display");
        OtherClient other;
        X11WindowControl windows;
        if (!other.ok() || !windows.connected())
            QSKIP("X11 display not reachable");
        const QByteArray title =
            "Vantorel Ingest test " + QByteArray::number(QCoreApplication::applicationPid());
        const xcb_window_t plain = other.createWindow(title, false);
        const xcb_window_t net = other.createWindow(title + " net", true);
        QCOMPARE(windows.findWindow(QString::fromLatin1(title)), quint64(plain));
        QCOMPARE(windows.findWindow(QString::fromLatin1(title + " net")), quint64(net));
        QCOMPARE(windows.findWindow(QString::fromLatin1(title + " ne")), quint64(0));
        windows.hide(plain);
        QCOMPARE(other.mapState(plain), int(XCB_MAP_STATE_UNMAPPED));
        // A hidden window is still found, so that it can be shown again.
        QCOMPARE(windows.findWindow(QString::fromLatin1(title)), quint64(plain));
        windows.restore(plain);
        QCOMPARE(other.mapState(plain), int(XCB_MAP_STATE_VIEWABLE));
        windows.raise(plain);
        windows.hide(0x7fffffff); // a window that does not exist: ignored
        QCOMPARE(other.mapState(net), int(XCB_MAP_STATE_VIEWABLE));
#else
        QSKIP("built without X11 window control");
#endif
    }
};

QTEST_GUILESS_MAIN(TestX11WindowControl)
#include "tst_x11windowcontrol.moc"
