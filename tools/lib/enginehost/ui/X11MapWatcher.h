#pragma once

#include <QAbstractNativeEventFilter>
#include <functional>

class QWidget;

// Tells a window when the window system maps or unmaps it. Vantorel hides
// and shows engine windows from outside (X11 unmap and map); the window
// follows, so that a window hidden by "HIDE" and mapped again from outside
// is shown and painted. Does nothing without X11.
class X11MapWatcher : public QAbstractNativeEventFilter
{
public:
    X11MapWatcher(QWidget& window, std::function<void(bool mapped)> changed);
    ~X11MapWatcher() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QWidget& m_window;
    std::function<void(bool)> m_changed;
};
