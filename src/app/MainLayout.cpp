#include "app/MainLayout.h"

#include <algorithm>

MainLayout::Geometry MainLayout::resize(int windowWidth, int windowHeight) const
{
    Geometry g;
    // The bulletin area keeps the reference width's share; the lists stay fixed.
    const int widthBase = m_longHeader ? 7645 : 8275;
    const int dW = std::max(windowWidth - ReferenceWidth, 1 - widthBase);
    g.listWidth = listWidth();
    g.displayLeft = listWidth();
    g.displayWidth = dW + widthBase;
    g.defaultFontSize = m_longHeader ? 8 : 9;
    const int dH = windowHeight - smallestHeight();
    if (dH < 0) {
        g.windowHeight = smallestHeight();
        g.height = baseHeight();
    } else {
        g.height = dH + baseHeight();
    }
    return g;
}
