#include "map/ui/MapView.h"

#include "core/GeoOutlines.h"
#include "map/ActiveWarnings.h"
#include "map/MapLegend.h"
#include "map/MapProjection.h"
#include "map/WarningColours.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <cmath>

namespace {
const QColor kWater(0xE8, 0xF1, 0xF8);
const QColor kLand(0xF7, 0xF5, 0xEE);
const QColor kCountyLine(0xC8, 0xC8, 0xC8);
const QColor kStateLine(0x60, 0x60, 0x60);
} // namespace

MapView::MapView(const ActiveWarnings& warnings, const GeoOutlines* outlines, QWidget* parent)
    : QWidget(parent), m_warnings(warnings), m_outlines(outlines)
{
    setObjectName(QStringLiteral("mapView"));
    setMinimumSize(320, 200);
    setMouseTracking(false);
    if (!m_outlines)
        return;
    auto planeRings = [](const GeoOutlines::Feature& f) {
        QList<QPolygonF> rings;
        rings.reserve(f.rings.size());
        for (const QPolygonF& r : f.rings)
            rings.push_back(MapProjection::toPlane(r));
        return rings;
    };
    for (const GeoOutlines::Feature& f : m_outlines->states())
        m_states.push_back({f.state, planeRings(f)});
    for (const GeoOutlines::Feature& f : m_outlines->counties()) {
        m_countyIndex.insert(f.ugcCountyCode(), int(m_counties.size()));
        m_counties.push_back({f.ugcCountyCode(), planeRings(f)});
    }
}

void MapView::setLocation(const std::optional<QPointF>& lonLat)
{
    m_location = lonLat;
    update();
}

double MapView::scale() const
{
    return m_baseScale * std::pow(1.25, m_level);
}

void MapView::fitIfNeeded()
{
    if (m_baseScale > 0 || width() <= 0 || height() <= 0)
        return;
    const QRectF us = MapProjection::contiguousStates();
    m_baseScale = std::min(width() / us.width(), height() / us.height());
    m_offset = QPointF(width() / 2.0, height() / 2.0) - us.center() * m_baseScale;
}

void MapView::setLevel(int level, const QPointF& keepFixed)
{
    fitIfNeeded();
    level = std::clamp(level, MinLevel, MaxLevel);
    if (level == m_level || m_baseScale <= 0)
        return;
    const QPointF plane = (keepFixed - m_offset) / scale();
    m_level = level;
    m_offset = keepFixed - plane * scale();
    update();
}

void MapView::panBy(const QPointF& delta)
{
    m_offset += delta;
    update();
}

QPointF MapView::lonLatAt(const QPointF& widgetPos) const
{
    if (m_baseScale <= 0)
        return {};
    return MapProjection::toLonLat((widgetPos - m_offset) / scale());
}

QPointF MapView::widgetPosOf(const QPointF& lonLat) const
{
    return MapProjection::toPlane(lonLat) * scale() + m_offset;
}

QString MapView::warningAt(const QPointF& widgetPos) const
{
    const QPointF lonLat = lonLatAt(widgetPos);
    const QPointF plane = MapProjection::toPlane(lonLat);
    QString county;
    bool countyAsked = false;
    const QList<const ActiveWarning*> order = m_warnings.drawingOrder();
    for (auto it = order.crbegin(); it != order.crend(); ++it) {
        const ActiveWarning& w = **it;
        if (!w.polygon.isEmpty()) {
            if (MapProjection::toPlane(QPolygonF(w.polygon)).containsPoint(plane, Qt::OddEvenFill))
                return w.key;
            continue;
        }
        if (!countyAsked) {
            countyAsked = true;
            const GeoOutlines::Feature* f = m_outlines ? m_outlines->countyAt(lonLat) : nullptr;
            county = f ? f->ugcCountyCode() : QString();
        }
        if (!county.isEmpty() && w.areas.contains(county))
            return w.key;
    }
    return QString();
}

QPainterPath MapView::scaledPath(const QList<QPolygonF>& rings, double s) const
{
    QPainterPath path;
    for (const QPolygonF& ring : rings) {
        QPolygonF scaled;
        scaled.reserve(ring.size());
        for (const QPointF& p : ring)
            scaled.push_back(p * s);
        path.addPolygon(scaled);
        path.closeSubpath();
    }
    return path;
}

MapView::Prepared& MapView::prepared()
{
    auto it = m_cache.find(m_level);
    if (it != m_cache.end())
        return *it;
    if (m_cache.size() >= MaxCachedLevels)
        m_cache.clear();
    Prepared prep;
    const double s = scale();
    for (const Feature& f : m_states) {
        prep.states.push_back(scaledPath(f.rings, s));
        prep.stateBounds.push_back(prep.states.last().boundingRect());
    }
    for (const Feature& f : m_counties) {
        prep.counties.push_back(scaledPath(f.rings, s));
        prep.countyBounds.push_back(prep.counties.last().boundingRect());
    }
    return *m_cache.insert(m_level, prep);
}

void MapView::drawCulled(QPainter& p, const QList<QPainterPath>& paths, const QList<QRectF>& bounds,
                         const QRectF& visible)
{
    for (qsizetype i = 0; i < paths.size(); ++i) {
        if (bounds.at(i).intersects(visible))
            p.drawPath(paths.at(i));
    }
}

void MapView::renderBase(Prepared& prep)
{
    const QSize margin = size() / 2;
    const qreal dpr = devicePixelRatioF();
    m_base = QPixmap((size() + 2 * margin) * dpr);
    m_base.setDevicePixelRatio(dpr);
    m_base.fill(kWater);
    m_baseOffset = m_offset;
    m_baseLevel = m_level;
    QPainter p(&m_base);
    const QPointF origin = m_offset + QPointF(margin.width(), margin.height());
    p.translate(origin);
    const QRectF visible(-origin, QSizeF(m_base.size()) / dpr);
    p.setPen(Qt::NoPen);
    p.setBrush(kLand);
    drawCulled(p, prep.states, prep.stateBounds, visible);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kCountyLine, 0));
    drawCulled(p, prep.counties, prep.countyBounds, visible);
}

void MapView::paintEvent(QPaintEvent*)
{
    fitIfNeeded();
    QPainter p(this);
    p.fillRect(rect(), kWater);
    if (m_baseScale <= 0)
        return;
    Prepared& prep = prepared();
    const QSize margin = size() / 2;
    const QPointF shift = m_offset - m_baseOffset;
    const bool outside =
        std::abs(shift.x()) > margin.width() || std::abs(shift.y()) > margin.height();
    if (m_base.isNull() || m_baseLevel != m_level || outside ||
        m_base.deviceIndependentSize().toSize() != size() + 2 * margin)
        renderBase(prep);
    p.drawPixmap(m_offset - m_baseOffset - QPointF(margin.width(), margin.height()), m_base);
    p.save();
    p.translate(m_offset);
    p.setRenderHint(QPainter::Antialiasing);
    drawWarnings(p, prep);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kStateLine, 1));
    drawCulled(p, prep.states, prep.stateBounds, QRectF(-m_offset, QSizeF(size())));
    p.restore();
    p.setRenderHint(QPainter::Antialiasing);
    drawLocation(p);
    drawLegend(p);
}

void MapView::drawWarnings(QPainter& p, Prepared& prep)
{
    const double s = scale();
    for (const ActiveWarning* w : m_warnings.drawingOrder()) {
        QColor fill = WarningColours::colourOf(w->phenomenon, w->significance);
        const QColor line = fill.darker(150);
        if (!w->polygon.isEmpty()) {
            fill.setAlpha(170);
            p.setBrush(fill);
            p.setPen(QPen(line, 1.5));
            QPolygonF poly;
            for (const QPointF& pt : w->polygon)
                poly.push_back(MapProjection::toPlane(pt) * s);
            p.drawPolygon(poly);
            continue;
        }
        fill.setAlpha(110);
        p.setBrush(fill);
        p.setPen(QPen(line, 0));
        for (const QString& code : w->counties()) {
            const int index = m_countyIndex.value(code, -1);
            if (index < 0)
                continue;
            auto found = prep.county.find(code);
            if (found == prep.county.end())
                found = prep.county.insert(code, scaledPath(m_counties.at(index).rings, s));
            p.drawPath(*found);
        }
    }
}

void MapView::drawLocation(QPainter& p)
{
    if (!m_location)
        return;
    const QPointF at = widgetPosOf(*m_location);
    p.setPen(QPen(Qt::white, 3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 6, 6);
    p.setPen(QPen(Qt::black, 1.5));
    p.drawEllipse(at, 6, 6);
    p.drawLine(at - QPointF(10, 0), at + QPointF(10, 0));
    p.drawLine(at - QPointF(0, 10), at + QPointF(0, 10));
}

void MapView::drawLegend(QPainter& p)
{
    QStringList lines;
    QList<QColor> colours;
    for (const MapLegend::Row& row : MapLegend::rows(m_warnings)) {
        lines << MapLegend::text(row);
        colours << row.colour;
    }
    const int zonesOnly = m_warnings.count() - m_warnings.drawableCount();
    if (zonesOnly > 0) {
        lines << QStringLiteral("%1 by zone only (not drawn)").arg(zonesOnly);
        colours << QColor();
    }
    if (m_location) {
        lines << QStringLiteral("Your location");
        colours << QColor(Qt::black);
    }
    if (!m_outlines) {
        lines << QStringLiteral("Outlines not available");
        colours << QColor();
    }
    if (lines.isEmpty())
        lines << QStringLiteral("No warning in effect");
    const QFontMetrics fm = p.fontMetrics();
    const int rowHeight = fm.height() + 2;
    int textWidth = 0;
    for (const QString& l : lines)
        textWidth = std::max(textWidth, fm.horizontalAdvance(l));
    const QRect box(8, 8, textWidth + 36, int(lines.size()) * rowHeight + 10);
    p.setPen(QPen(QColor(0x80, 0x80, 0x80), 1));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRect(box);
    for (int i = 0; i < lines.size(); ++i) {
        const int y = box.top() + 5 + i * rowHeight;
        const QColor c = colours.value(i);
        if (c.isValid()) {
            p.setPen(QPen(c.darker(150), 1));
            p.setBrush(c);
            p.drawRect(QRect(box.left() + 6, y + 2, 16, rowHeight - 5));
        }
        p.setPen(Qt::black);
        p.drawText(QPoint(box.left() + 28, y + fm.ascent()), lines.at(i));
    }
}

void MapView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    fitIfNeeded();
}

void MapView::wheelEvent(QWheelEvent* event)
{
    const int steps = event->angleDelta().y() / 120;
    if (steps != 0)
        setLevel(m_level + steps, event->position());
    event->accept();
}

void MapView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    m_pressPos = m_lastPos = event->position();
    m_dragging = false;
}

void MapView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    if (!m_dragging && (event->position() - m_pressPos).manhattanLength() > 4) {
        m_dragging = true;
        setCursor(Qt::ClosedHandCursor);
    }
    if (m_dragging)
        panBy(event->position() - m_lastPos);
    m_lastPos = event->position();
}

void MapView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return QWidget::mouseReleaseEvent(event);
    if (m_dragging) {
        m_dragging = false;
        unsetCursor();
        return;
    }
    if (event->modifiers() & Qt::ControlModifier) {
        emit locationPicked(lonLatAt(event->position()));
        return;
    }
    const QString key = warningAt(event->position());
    if (!key.isEmpty())
        emit warningClicked(key);
}

void MapView::contextMenuEvent(QContextMenuEvent* event)
{
    const QPointF lonLat = lonLatAt(event->pos());
    QMenu menu(this);
    QAction* set = menu.addAction(QStringLiteral("Set my location here (%1, %2)")
                                      .arg(lonLat.y(), 0, 'f', 3)
                                      .arg(lonLat.x(), 0, 'f', 3));
    if (menu.exec(event->globalPos()) == set)
        emit locationPicked(lonLat);
}
