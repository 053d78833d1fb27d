#pragma once

#include <QList>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QString>

#include <memory>
#include <optional>

// The state and county outlines of the United States (file us-outlines.txt
// in the program directory): per feature its FIPS code, state abbreviation,
// name and rings of (longitude, latitude) points, east positive. A point is
// inside a feature when an odd number of its rings contain it.
class GeoOutlines
{
public:
    static inline const QString FileName = QStringLiteral("us-outlines.txt");
    // Bounds of what is read: the shipped file is about 0.7 MB and 3,300 features.
    static constexpr qint64 MaxBytes = 32 * 1024 * 1024;
    static constexpr int MaxFeatures = 20000;
    static constexpr int MaxRingPoints = 200000;

    struct Feature
    {
        QString fips;  // "19153" for a county, "19" for a state
        QString state; // "IA"
        QString name;  // "Polk"
        QList<QPolygonF> rings;
        QRectF bounds;

        bool contains(const QPointF& lonLat) const;
        // The UGC county code: state, "C", the county's three digits ("IAC153").
        QString ugcCountyCode() const;
    };

    // Reads the file; nullopt (and a message in error) when it cannot be read
    // or holds no feature. Malformed lines are skipped.
    static std::optional<GeoOutlines> load(const QString& path, QString* error = nullptr);
    static GeoOutlines parse(const QByteArray& bytes);

    const QList<Feature>& states() const { return m_states; }
    const QList<Feature>& counties() const { return m_counties; }
    // The county that contains the point, or none.
    const Feature* countyAt(const QPointF& lonLat) const;

private:
    QList<Feature> m_states;
    QList<Feature> m_counties;
};
