#include "OfficeStates.h"
#include "platform/BoundedRead.h"

#include <QFile>
#include <QList>
#include <QRegularExpression>

OfficeStates OfficeStates::parse(const QByteArray& table)
{
    static const QRegularExpression row(
        QStringLiteral("^([A-Z0-9]{3})  ([A-Z0-9]{4}) +.*\\S +([A-Z]{2})\\s*$"));
    static const QRegularExpression heading(QStringLiteral("^[A-Z][A-Z ]*$"));
    OfficeStates r;
    bool forecastOffices = false;
    int rows = 0;
    for (const QByteArray& bytes : table.split('\n')) {
        if (++rows > MaxRows)
            break;
        const QString line = QString::fromLatin1(bytes).trimmed();
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch()) {
            if (forecastOffices) {
                r.m_offices.insert(m.captured(1), m.captured(3));
                r.m_stations.insert(m.captured(2), m.captured(3));
            }
        } else if (heading.match(line).hasMatch()) {
            forecastOffices = line.endsWith(QLatin1String(" REGION"));
        }
    }
    return r;
}

OfficeStates OfficeStates::load(const QString& path, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read ") + path + QStringLiteral(": ") + file.errorString();
        return {};
    }
    if (file.size() > MaxTableBytes) {
        *error = path + QStringLiteral(" is too large to be the location table");
        return {};
    }
    OfficeStates r = parse(BoundedRead::read(file, MaxTableBytes));
    if (r.isEmpty())
        *error = path + QStringLiteral(" lists no forecast office");
    return r;
}
