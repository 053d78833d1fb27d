#include "X11MapWatcher.h"

#include <QCoreApplication>
#include <QWidget>

#ifdef VANTOREL_HAVE_XCB
#include <xcb/xcb.h>
#endif

X11MapWatcher::X11MapWatcher(QWidget& window, std::function<void(bool)> changed)
    : m_window(window), m_changed(std::move(changed))
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11MapWatcher::~X11MapWatcher()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool X11MapWatcher::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
#ifdef VANTOREL_HAVE_XCB
    if (eventType != "xcb_generic_event_t" || !m_window.testAttribute(Qt::WA_WState_Created))
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    const auto window = static_cast<xcb_window_t>(m_window.winId());
    switch (event->response_type & 0x7f) {
    case XCB_MAP_NOTIFY:
        if (reinterpret_cast<const xcb_map_notify_event_t*>(event)->window == window)
            m_changed(true);
        break;
    case XCB_UNMAP_NOTIFY:
        if (reinterpret_cast<const xcb_unmap_notify_event_t*>(event)->window == window)
            m_changed(false);
        break;
    default:
        break;
    }
#else
    Q_UNUSED(eventType)
    Q_UNUSED(message)
#endif
    return false; // the window system's own handling goes on
}
