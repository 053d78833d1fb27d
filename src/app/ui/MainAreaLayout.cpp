#include "app/ui/MainAreaLayout.h"

#include "app/MainLayout.h"
#include "app/ui/BulletinView.h"
#include "app/ui/ListPane.h"
#include "app/ui/MainMenus.h"
#include "core/Settings.h"

#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

int MainAreaLayout::toPixels(double twips)
{
    return qRound(twips / TwipsPerPixel);
}

MainAreaLayout::MainAreaLayout(QMainWindow& window, QWidget& canvas, ListPane& pane,
                               BulletinView& display, MainMenus& menus, const Settings& settings)
    : m_window(window), m_canvas(canvas), m_pane(pane), m_display(display), m_menus(menus),
      m_settings(settings)
{
}

bool MainAreaLayout::compact() const
{
    return m_pane.cmdShrink()->text() == QLatin1String(">");
}

void MainAreaLayout::place()
{
    if (m_window.isMinimized())
        return;
    const MainLayout layout(m_settings.LongHeader != 0, m_smallScreen);
    const MainLayout::Geometry g = layout.resize(qRound(m_window.width() * TwipsPerPixel),
                                                 qRound(m_window.height() * TwipsPerPixel));
    if (g.windowHeight) {
        const int h = toPixels(*g.windowHeight);
        QMainWindow* window = &m_window;
        QTimer::singleShot(0, window, [window, h] {
            if (window->height() < h && !window->isMinimized() && !window->isMaximized())
                window->resize(window->width(), h);
        });
    }
    const int listWidth = toPixels(g.listWidth);
    const int controls = m_pane.controlsHeight();
    // The area keeps its computed height unless the controls under the
    // lists would be cut off.
    const int height = std::max(20, std::min(toPixels(g.height), m_canvas.height() - controls));
    m_pane.place(listWidth, height);
    m_display.setGeometry(toPixels(g.displayLeft) + 2, 0, std::max(1, toPixels(g.displayWidth)),
                          height);
    m_display.setPointSize(m_fontSize && *m_fontSize > 0 ? *m_fontSize : g.defaultFontSize);
}

void MainAreaLayout::toggleCompact()
{
    if (m_window.isMinimized() || m_window.isMaximized())
        return;
    const MainLayout layout(m_settings.LongHeader != 0, m_smallScreen);
    QPushButton* shrink = m_pane.cmdShrink();
    const bool toCompact = !compact();
    if (toCompact) {
        shrink->setToolTip(QStringLiteral("Expand Screen"));
        for (int i : {4, 5, 6})
            m_menus.mnuHeader()[i]->menuAction()->setVisible(false);
        m_window.resize(toPixels(layout.compactWidth()), m_window.height());
        shrink->setText(QStringLiteral(">"));
    } else {
        shrink->setToolTip(QStringLiteral("Compress Screen"));
        m_window.resize(toPixels(layout.expandedWidth()), m_window.height());
        shrink->setText(QStringLiteral("<"));
        for (int i : {4, 5, 6})
            m_menus.mnuHeader()[i]->menuAction()->setVisible(true);
    }
    m_pane.cmdImageDisplay()->setFocus();
}
