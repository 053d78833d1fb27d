#include "ingest/VersionRotation.h"

#include "ingest/IngestFiles.h"
#include "platform/FileMove.h"
#include "platform/RuntimeError.h"

namespace {

// False when there was nothing to move: a missing version is no error.
bool moveUp(const QString& from, const QString& to)
{
    try {
        FileMove::move(from, to);
        return true;
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::FileNotFound)
            return false;
        throw;
    }
}

} // namespace

// Each step is one rename that replaces the next version up; the oldest kept
// version is deleted only when nothing moves onto it.
void VersionRotation::rotate(const QString& key, int count) const
{
    const QString base = m_directory + key;
    auto version = [&](int n) {
        return n == 0 ? base : base + QLatin1Char('.') + QString::number(n);
    };
    if (count == 0) {
        IngestFiles::removeIfPresent(base);
        return;
    }
    if (count < 0) {
        moveUp(base, version(1)); // no count to keep: only the previous version
        return;
    }
    if (!moveUp(version(count - 1), version(count)))
        IngestFiles::removeIfPresent(version(count));
    for (int i = count - 2; i >= 0; --i)
        moveUp(version(i), version(i + 1));
}
