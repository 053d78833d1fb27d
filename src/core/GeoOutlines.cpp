#include "core/GeoOutlines.h"
#include "platform/BoundedRead.h"

#include <QByteArrayView>
#include <QFile>

namespace {

// "R x y dx dy ..." in thousandths of a degree.
std::optional<QPolygonF> readRing(QByteArrayView line)
{
    const QList<QByteArrayView> parts = [&] {
        QList<QByteArrayView> found;
        qsizetype start = 2;
        while (start < line.size()) {
            qsizetype end = line.indexOf(' ', start);
            if (end < 0)
                end = line.size();
            if (end > start)
                found.push_back(line.sliced(start, end - start));
            start = end + 1;
        }
        return found;
    }();
    if (parts.size() < 6 || parts.size() % 2 != 0 || parts.size() / 2 > GeoOutlines::MaxRingPoints)
        return std::nullopt;
    QPolygonF ring;
    ring.reserve(parts.size() / 2 + 1);
    long long x = 0, y = 0;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        bool okX = false, okY = false;
        x += parts.at(i).toLongLong(&okX);
        y += parts.at(i + 1).toLongLong(&okY);
        if (!okX || !okY || x < -360000 || x > 360000 || y < -90000 || y > 90000)
            return std::nullopt;
        ring.push_back(QPointF(x / 1000.0, y / 1000.0));
    }
    ring.push_back(ring.first());
    return ring;
}

// "S 19 IA Iowa" / "C 19153 IA Polk".
std::optional<GeoOutlines::Feature> readHead(const QByteArray& line)
{
    const QString text = QString::fromUtf8(line);
    const QStringList parts = text.split(QLatin1Char(' '));
    if (parts.size() < 4 || parts.at(2).size() != 2)
        return std::nullopt;
    const QString& fips = parts.at(1);
    const bool county = text.startsWith(QLatin1Char('C'));
    if (fips.size() != (county ? 5 : 2))
        return std::nullopt;
    GeoOutlines::Feature f;
    f.fips = fips;
    f.state = parts.at(2);
    f.name = parts.mid(3).join(QLatin1Char(' '));
    return f;
}

} // namespace

bool GeoOutlines::Feature::contains(const QPointF& lonLat) const
{
    if (!bounds.contains(lonLat))
        return false;
    bool inside = false;
    for (const QPolygonF& ring : rings) {
        if (ring.containsPoint(lonLat, Qt::OddEvenFill))
            inside = !inside;
    }
    return inside;
}

QString GeoOutlines::Feature::ugcCountyCode() const
{
    if (fips.size() != 5)
        return QString();
    return state + QLatin1Char('C') + fips.right(3);
}

std::optional<GeoOutlines> GeoOutlines::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error =
                QStringLiteral("Cannot read the outlines %1: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    GeoOutlines outlines = parse(BoundedRead::read(file, MaxBytes));
    if (outlines.m_counties.isEmpty() && outlines.m_states.isEmpty()) {
        if (error)
            *error = QStringLiteral("The outlines file %1 holds no outline.").arg(path);
        return std::nullopt;
    }
    return outlines;
}

GeoOutlines GeoOutlines::parse(const QByteArray& bytes)
{
    GeoOutlines result;
    Feature* current = nullptr;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray line = bytes.mid(start, end - start).trimmed();
        start = end + 1;
        if (line.startsWith("R ") && current) {
            if (std::optional<QPolygonF> ring = readRing(line)) {
                current->bounds = current->bounds.isNull()
                                      ? ring->boundingRect()
                                      : current->bounds.united(ring->boundingRect());
                current->rings.push_back(*ring);
            }
            continue;
        }
        const bool state = line.startsWith("S ");
        if (!state && !line.startsWith("C "))
            continue;
        current = nullptr;
        if (result.m_states.size() + result.m_counties.size() >= MaxFeatures)
            break;
        if (std::optional<Feature> f = readHead(line)) {
            QList<Feature>& list = state ? result.m_states : result.m_counties;
            list.push_back(*f);
            current = &list.last();
        }
    }
    // A feature whose rings were all unreadable is no outline.
    auto empty = [](const Feature& f) { return f.rings.isEmpty(); };
    result.m_states.removeIf(empty);
    result.m_counties.removeIf(empty);
    return result;
}

const GeoOutlines::Feature* GeoOutlines::countyAt(const QPointF& lonLat) const
{
    for (const Feature& f : m_counties) {
        if (f.contains(lonLat))
            return &f;
    }
    return nullptr;
}
