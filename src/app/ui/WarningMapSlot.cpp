#include "app/ui/WarningMapSlot.h"

#include "app/MainState.h"
#include "map/ActiveWarnings.h"
#include "map/ui/frmMap.h"
#include "product/BulletinText.h"

#include <QPushButton>
#include <QStatusBar>

WarningMapSlot::WarningMapSlot(MainState& state, QWidget& window,
                               std::function<void()> showBulletin)
    : m_state(state), m_window(window), m_showBulletin(std::move(showBulletin))
{
}

void WarningMapSlot::present()
{
    if (!m_map) {
        const frmMap::Context context{m_state.warnings(),
                                      m_state.outlines(),
                                      m_state.outlinesError(),
                                      m_state.settings,
                                      *m_state.services().store,
                                      [this](const ActiveWarning& w) {
                                          m_state.display.setDisplay(
                                              BulletinText::clean(w.productText.toLatin1()),
                                              w.productName);
                                          m_showBulletin();
                                      }};
        m_map = new frmMap(context, &m_window);
        m_map->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_map->show();
    m_map->raise();
    m_map->activateWindow();
}

void WarningMapSlot::locationChanged()
{
    if (m_map)
        m_map->locationChanged();
}

void WarningMapSlot::addButton(QStatusBar& statusBar)
{
    auto* button = new QPushButton(QStringLiteral("Map"));
    button->setObjectName(QStringLiteral("cmdMap"));
    button->setToolTip(QStringLiteral("Warning Map"));
    statusBar.addPermanentWidget(button);
    QObject::connect(button, &QPushButton::clicked, [this] { present(); });
}
