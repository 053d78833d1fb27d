#pragma once

#include <QPointF>
#include <QWidget>

#include <functional>

class ActiveWarnings;
class GeoOutlines;
class MapView;
class QLabel;
class QTimer;
class Settings;
class SettingsStore;
struct ActiveWarning;

// The Warning Map window: the map of the warnings in effect, the number of
// them in the title; a click on a warning shows its latest product in the
// bulletin area, Ctrl+click (or the context menu) sets the user's location.
class frmMap : public QWidget
{
    Q_OBJECT
public:
    struct Context
    {
        ActiveWarnings& warnings;
        const GeoOutlines* outlines; // none: the map draws warnings only and says so
        QString outlinesError;
        Settings& settings;
        SettingsStore& store;
        std::function<void(const ActiveWarning&)> showProduct;
    };

    explicit frmMap(const Context& context, QWidget* parent = nullptr);

    MapView* view() const { return m_view; }
    // Stores a new location (settings section "Location") and marks it.
    void setLocation(const QPointF& lonLat);
    // Reads the location of the settings again (after the configuration dialog).
    void locationChanged();

private:
    void refresh();
    void showWarning(const QString& key);

    Context m_c;
    MapView* m_view = nullptr;
    QLabel* m_hint = nullptr;
    QTimer* m_expiry = nullptr;
};
