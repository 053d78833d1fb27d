#include "observations/MetarFileScan.h"

#include "observations/MetarCollector.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

namespace {

MetarFileScan::Result failure(MetarFileScan::Status status, ErrorNumber error,
                              const QString& detail)
{
    MetarFileScan::Result result;
    result.status = status;
    result.error = error;
    result.errorDetail = detail;
    return result;
}

} // namespace

MetarFileScan::Result MetarFileScan::scan(const QString& path, const MetarCollector& collector,
                                          qint64 maxBytes)
{
    const QFileInfo info(path);
    if (!info.exists())
        return failure(Status::NotFound, ErrorNumber::FileNotFound, path);
    // Pipes and devices are never opened: a read could wait for ever.
    if (!info.isFile())
        return failure(Status::Unreadable, ErrorNumber::PathFileAccess, path);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!file.exists())
            return failure(Status::NotFound, ErrorNumber::FileNotFound, path);
        return failure(Status::Unreadable, ErrorNumber::PathFileAccess,
                       path + QStringLiteral(": ") + file.errorString());
    }
    const qint64 size = file.size();
    QByteArray bytes;
    bytes.resize(std::min(size, maxBytes));
    qint64 filled = 0;
    while (filled < bytes.size()) {
        const qint64 got = file.read(bytes.data() + filled, bytes.size() - filled);
        if (got < 0)
            return failure(Status::Unreadable, ErrorNumber::PathFileAccess,
                           path + QStringLiteral(": ") + file.errorString());
        if (got == 0)
            break; // shrank while being read
        filled += got;
    }
    bytes.truncate(filled);

    Result result;
    result.truncated = size > maxBytes;
    QByteArray reports;
    result.endedInsideReport =
        !collector.collect(std::string_view(bytes.constData(), bytes.size()), &reports);
    result.reports = QString::fromLatin1(reports);
    return result;
}

QString MetarFileScan::note(const QString& name, const Result& result)
{
    switch (result.status) {
    case Status::NotFound:
        return QStringLiteral("METAR file not available: ") + name;
    case Status::Unreadable:
        return QStringLiteral("METAR file could not be read: ") + name;
    case Status::Read:
        break;
    }
    if (result.truncated)
        return QStringLiteral("METAR file too large, only its first %1 MB searched: ")
                   .arg(MetarFileScan::MaxBytes / (1024 * 1024)) +
               name;
    return QString();
}
