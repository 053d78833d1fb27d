#pragma once

#include <optional>

class BulletinView;
class ListPane;
class MainMenus;
class QMainWindow;
class QWidget;
class Settings;

// Places the four lists and the bulletin area of the main window for its
// size (the geometry MainLayout computes in twips) and switches compact mode,
// in which the window narrows to the lists alone.
class MainAreaLayout
{
public:
    static constexpr double TwipsPerPixel = 15.0;
    static int toPixels(double twips);

    MainAreaLayout(QMainWindow& window, QWidget& canvas, ListPane& pane, BulletinView& display,
                   MainMenus& menus, const Settings& settings);

    void setSmallScreen(bool small) { m_smallScreen = small; }
    // The menu file's font size for the bulletin area; none or 0: the layout's own.
    void setFontSize(std::optional<int> size) { m_fontSize = size; }
    bool compact() const;

    // Lays out lists and bulletin area for the current window size.
    void place();
    // Compact mode on or off (the "<" / ">" button).
    void toggleCompact();

private:
    QMainWindow& m_window;
    QWidget& m_canvas;
    ListPane& m_pane;
    BulletinView& m_display;
    MainMenus& m_menus;
    const Settings& m_settings;
    std::optional<int> m_fontSize;
    bool m_smallScreen = false;
};
