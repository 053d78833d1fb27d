#pragma once

#include <QString>

class MenuDefinitions;

// What start-up asks of the main window. The window implements it; tests use
// a recording fake.
class IStartupHost
{
public:
    virtual ~IStartupHost() = default;
    // True when the screen is exactly 640 pixels wide.
    virtual bool isSmallScreen() const = 0;
    virtual void applySmallScreenLayout() = 0;
    // Window size in twips.
    virtual void applyWindowSize(double widthTwips, double heightTwips) = 0;
    virtual void showMainWindow() = 0;
    virtual void hideMainWindow() = 0;
    // Lets pending window events run.
    virtual void processEvents() = 0;
    virtual void setSuspendPageVisible(bool visible) = 0;
    virtual void setWxPlotVisible(bool visible) = 0;
    // The configuration dialog: shown without waiting, hidden, then shown modally.
    virtual void showConfigModeless() = 0;
    virtual void hideConfig() = 0;
    virtual void execConfigModal() = 0;
    // Builds buttons, category and quick menus, colours and font from the files.
    virtual void applyDefinitions(const MenuDefinitions& menus) = 0;
    virtual void showDisplay() = 0;
    // Reopens the image named ImageShowing in the shared viewer (when it is
    // long enough and files of it exist).
    virtual void reopenLastImage() = 0;
    virtual void setHideIngestVisible(bool visible) = 0;
};
