#include "core/GeoLocation.h"

#include "core/SettingsTable.h"

#include <QLocale>

#include <cmath>

namespace {

std::optional<double> degrees(const QString& text, double limit)
{
    bool ok = false;
    const double value = QLocale::c().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value) || value < -limit || value > limit)
        return std::nullopt;
    return value;
}

QString problem(const QString& text, double limit, const QString& what)
{
    if (text.trimmed().isEmpty() || degrees(text, limit))
        return QString();
    return QStringLiteral("%1 must be a number of degrees from -%2 to %2 (for example %3).")
        .arg(what)
        .arg(limit)
        .arg(limit == 90 ? QStringLiteral("41.59") : QStringLiteral("-93.62"));
}

} // namespace

std::optional<QPointF> GeoLocation::fromTexts(const QString& latitude, const QString& longitude)
{
    const std::optional<double> lat = degrees(latitude, 90);
    const std::optional<double> lon = degrees(longitude, 180);
    if (!lat || !lon)
        return std::nullopt;
    return QPointF(*lon, *lat);
}

QString GeoLocation::latitudeProblem(const QString& text)
{
    return problem(text, 90, SettingsTable::entry(Settings::Key::Latitude).name);
}

QString GeoLocation::longitudeProblem(const QString& text)
{
    return problem(text, 180, SettingsTable::entry(Settings::Key::Longitude).name);
}
