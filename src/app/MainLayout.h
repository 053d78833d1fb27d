#pragma once

#include <optional>

// The main window's layout arithmetic in twips: list width, left edge and
// width of the bulletin area, heights of the area and the lists, the
// smallest window height and the compact and expanded widths. It depends on
// the list entry form (long entries need wider lists) and on whether the
// screen is 640 pixels wide.
class MainLayout
{
public:
    static constexpr int ReferenceWidth = 10845;
    static constexpr int ReferenceHeight = 7725;

    struct Geometry
    {
        int listWidth = 0;    // all four lists
        int displayLeft = 0;  // left edge of the bulletin area
        int displayWidth = 0; // at least 1
        int height = 0;       // bulletin area and lists
        int defaultFontSize = 9;
        // Set when the window is lower than the smallest height: the height to snap to.
        std::optional<int> windowHeight;
    };

    MainLayout(bool longHeader, bool smallScreen)
        : m_longHeader(longHeader), m_smallScreen(smallScreen)
    {
    }

    // Where the lists and the bulletin area go in a window of the given size.
    Geometry resize(int windowWidth, int windowHeight) const;

    int listWidth() const { return m_longHeader ? 3100 : 2445; }
    int compactWidth() const { return m_longHeader ? 3210 : 2535; }
    int expandedWidth() const { return m_smallScreen ? 9570 : ReferenceWidth; }
    int smallestHeight() const { return m_smallScreen ? 4795 : 5580; }
    int baseHeight() const { return m_smallScreen ? 5000 : 3775; }

private:
    bool m_longHeader;
    bool m_smallScreen;
};
