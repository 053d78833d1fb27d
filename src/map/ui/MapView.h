#pragma once

#include <QHash>
#include <QList>
#include <QPainterPath>
#include <QPixmap>
#include <QPointF>
#include <QPolygonF>
#include <QString>
#include <QWidget>

#include <optional>

class ActiveWarnings;
class GeoOutlines;

// Draws the state and county outlines, the warnings in effect (by polygon,
// or by their counties), the user's location and a legend. The wheel zooms
// about the pointer, dragging pans, a click on a warning reports it, the
// context menu sets the location. Outlines are turned into paths once per
// zoom level and kept, so panning only moves them.
class MapView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MinLevel = -4;
    static constexpr int MaxLevel = 14;
    static constexpr int MaxCachedLevels = 6;

    MapView(const ActiveWarnings& warnings, const GeoOutlines* outlines, QWidget* parent = nullptr);

    void setLocation(const std::optional<QPointF>& lonLat);
    // Zoom level (0: the contiguous states fill the view) and pan.
    int level() const { return m_level; }
    void setLevel(int level, const QPointF& keepFixed);
    void panBy(const QPointF& delta);
    // The place under a point of the widget, and the warning drawn there
    // (topmost; empty key for none).
    QPointF lonLatAt(const QPointF& widgetPos) const;
    QString warningAt(const QPointF& widgetPos) const;
    QPointF widgetPosOf(const QPointF& lonLat) const;

signals:
    void warningClicked(const QString& key);
    void locationPicked(const QPointF& lonLat);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    struct Feature
    {
        QString code;           // county: UGC county code; state: abbreviation
        QList<QPolygonF> rings; // plane units
    };
    struct Prepared
    {
        QList<QPainterPath> states; // per state, pixels at this level
        QList<QRectF> stateBounds;
        QList<QPainterPath> counties;
        QList<QRectF> countyBounds;
        QHash<QString, QPainterPath> county; // by code, made when first drawn
    };

    double scale() const;
    void fitIfNeeded();
    Prepared& prepared();
    QPainterPath scaledPath(const QList<QPolygonF>& rings, double s) const;
    void drawWarnings(QPainter& p, Prepared& prep);
    // The land and county lines around the view, drawn once and moved while
    // panning; drawn again when the view leaves it or the level changes.
    void renderBase(Prepared& prep);
    static void drawCulled(QPainter& p, const QList<QPainterPath>& paths,
                           const QList<QRectF>& bounds, const QRectF& visible);
    void drawLocation(QPainter& p);
    void drawLegend(QPainter& p);

    const ActiveWarnings& m_warnings;
    const GeoOutlines* m_outlines;
    QList<Feature> m_states;
    QList<Feature> m_counties;
    QHash<QString, int> m_countyIndex;
    std::optional<QPointF> m_location;
    double m_baseScale = 0; // pixels per plane unit at level 0; set on first show
    int m_level = 0;
    QPointF m_offset; // widget position of the plane origin
    QHash<int, Prepared> m_cache;
    QPixmap m_base;
    QPointF m_baseOffset; // m_offset when the base was drawn
    int m_baseLevel = 0;
    QPointF m_pressPos;
    QPointF m_lastPos;
    bool m_dragging = false;
};
