#include "map/ui/frmMap.h"

#include "core/GeoLocation.h"
#include "core/Settings.h"
#include "map/ActiveWarnings.h"
#include "map/MapLegend.h"
#include "map/ui/MapView.h"
#include "platform/SettingsStore.h"

#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <QVBoxLayout>

namespace {
constexpr int kExpiryCheckMs = 30 * 1000;
}

frmMap::frmMap(const Context& context, QWidget* parent) : QWidget(parent, Qt::Window), m_c(context)
{
    setObjectName(QStringLiteral("frmMap"));
    m_view = new MapView(m_c.warnings, m_c.outlines, this);
    m_hint = new QLabel(this);
    m_hint->setObjectName(QStringLiteral("lblMapHint"));
    QString hint = QStringLiteral("Wheel: zoom. Drag: move. Click a warning: its product. "
                                  "Ctrl+click or right-click: set your location.");
    if (!m_c.outlines)
        hint = m_c.outlinesError + QLatin1Char(' ') + hint;
    m_hint->setText(hint);
    m_hint->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_hint);
    resize(960, 640);

    connect(&m_c.warnings, &ActiveWarnings::changed, this, &frmMap::refresh);
    connect(m_view, &MapView::warningClicked, this, &frmMap::showWarning);
    connect(m_view, &MapView::locationPicked, this, &frmMap::setLocation);
    m_expiry = new QTimer(this);
    m_expiry->setInterval(kExpiryCheckMs);
    connect(m_expiry, &QTimer::timeout, this, [this] { m_c.warnings.expire(); });
    m_expiry->start();
    locationChanged();
    refresh();
}

void frmMap::refresh()
{
    setWindowTitle(MapLegend::title(m_c.warnings));
    m_view->update();
}

void frmMap::showWarning(const QString& key)
{
    const ActiveWarning* w = m_c.warnings.event(key);
    if (w && m_c.showProduct)
        m_c.showProduct(*w);
}

void frmMap::setLocation(const QPointF& lonLat)
{
    const QLocale c = QLocale::c();
    m_c.settings.Latitude = c.toString(lonLat.y(), 'f', 4);
    m_c.settings.Longitude = c.toString(lonLat.x(), 'f', 4);
    m_c.settings.store(m_c.store, Settings::Key::Latitude);
    m_c.settings.store(m_c.store, Settings::Key::Longitude);
    if (!m_c.store.sync())
        m_hint->setText(m_c.store.writeFailure() +
                        QStringLiteral(" The location applies until Vantorel ends."));
    locationChanged();
}

void frmMap::locationChanged()
{
    m_view->setLocation(GeoLocation::fromTexts(m_c.settings.Latitude, m_c.settings.Longitude));
}
