#include "ingest/VersionRotation.h"

#include "ingest/IngestFiles.h"

void VersionRotation::rotate(const QString& key, int count) const
{
    const QString base = m_directory + key;
    auto version = [&](int n) { return base + QLatin1Char('.') + QString::number(n); };
    if (count > 0)
        IngestFiles::removeIfPresent(version(count));
    for (int i = count - 1; i >= 1; --i)
        IngestFiles::renameIfPresent(version(i), version(i + 1));
    if (count == 0)
        IngestFiles::removeIfPresent(base);
    else
        IngestFiles::renameIfPresent(base, version(1));
}
