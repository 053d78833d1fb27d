#pragma once

#include <QString>

// The scrolling alarm windows: each alarm with the scroll switch opens one.
class IScrollWindows
{
public:
    virtual ~IScrollWindows() = default;
    // Opens a new window: the scrolling caption, the window caption, and the
    // text shown in the bulletin area when the strip is clicked. False when
    // no further window may be opened.
    virtual bool openScroll(const QString& caption, const QString& title, const QString& tag) = 0;
};
