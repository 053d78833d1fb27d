#pragma once

#ifdef VANTOREL_HAVE_XCB

#include "platform/WindowControl.h"

#include <QString>
#include <memory>

// Windows of other programs on an X11 display, through libxcb. Works with and
// without a window manager: windows are found by walking the whole window
// tree, matched by _NET_WM_NAME or else WM_NAME; hiding unmaps, restoring
// maps. Without a reachable display nothing is ever found.
class X11WindowControl : public IWindowControl
{
public:
    // Connects to the display named by displayName, or by $DISPLAY when empty.
    explicit X11WindowControl(const QString& displayName = QString());
    ~X11WindowControl() override;
    X11WindowControl(const X11WindowControl&) = delete;
    X11WindowControl& operator=(const X11WindowControl&) = delete;

    bool connected() const;
    quint64 findWindow(const QString& exactTitle) override;
    void hide(quint64 window) override;
    void restore(quint64 window) override;
    void raise(quint64 window) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

#endif
