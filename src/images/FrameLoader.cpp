#include "images/FrameLoader.h"

#include "images/FrameCache.h"
#include "images/FrameSelection.h"
#include "images/ImageQuarantine.h"
#include "platform/FileLister.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {
constexpr int WorkerThreads = 2;

bool plainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

// Decodes one file; a bad one is moved to the quarantine and ends the set.
// A file removed since the listing (an archive purge) is left out.
bool addFrame(FrameSet& set, const QString& name, FrameCache& cache)
{
    const QString path = set.request.directory + name;
    if (set.request.kind != FrameRequest::Kind::File && !QFileInfo::exists(path))
        return true;
    QString error;
    std::optional<QImage> image = FrameLoader::decode(path, &cache, &error);
    if (!image) {
        set.outcome = FrameSet::Outcome::BadImage;
        set.badName = name;
        set.error = error;
        cache.remove(path);
        set.quarantined = ImageQuarantine::move(path, set.request.quarantineDir);
        return false;
    }
    set.names << name;
    set.images << *image;
    return true;
}
} // namespace

FrameLoader::FrameLoader(FrameCache& cache, QObject* parent) : QObject(parent), m_cache(cache)
{
    m_pool.setMaxThreadCount(WorkerThreads);
}

FrameLoader::~FrameLoader()
{
    m_pool.clear();
    m_pool.waitForDone();
}

quint64 FrameLoader::load(const FrameRequest& request)
{
    const quint64 ticket = ++m_next;
    m_pool.start([this, request, ticket] {
        FrameSet set = run(request, m_cache);
        set.ticket = ticket;
        QMetaObject::invokeMethod(
            this, [this, set] { emit loaded(set); }, Qt::QueuedConnection);
    });
    return ticket;
}

void FrameLoader::waitForDone()
{
    m_pool.waitForDone();
}

QString FrameLoader::resolveName(const QString& directory, const QString& name)
{
    if (directory.isEmpty() || !plainFileName(name))
        return {};
    const QFileInfo exact(directory + name);
    if (exact.exists() && !exact.isDir())
        return name;
    for (const QString& found : FileLister::list(directory, name)) {
        if (found.compare(name, Qt::CaseInsensitive) == 0)
            return found;
    }
    return {};
}

std::optional<QImage> FrameLoader::decode(const QString& path, FrameCache* cache, QString* error)
{
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    if (cache) {
        if (std::optional<QImage> hit = cache->find(path, size, modified))
            return hit;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    file.close();
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        *error = reader.errorString();
        return std::nullopt;
    }
    // One conversion here, off the window thread, makes every later paint a plain copy.
    image.convertTo(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                            : QImage::Format_RGB32);
    if (cache)
        cache->insert(path, size, modified, image);
    return image;
}

FrameSet FrameLoader::run(const FrameRequest& request, FrameCache& cache)
{
    FrameSet set;
    set.request = request;
    QStringList names;
    switch (request.kind) {
    case FrameRequest::Kind::Loop:
        names = FrameSelection::frameWindow(
            FrameSelection::frameNames(request.directory, request.name, request.now));
        break;
    case FrameRequest::Kind::Newest: {
        const QString newest =
            FrameSelection::newestFile(request.directory, request.name, request.now);
        if (!newest.isEmpty())
            names << newest;
        break;
    }
    case FrameRequest::Kind::File: {
        const QString found = resolveName(request.directory, request.name);
        if (found.isEmpty()) {
            set.outcome = FrameSet::Outcome::NotFound;
            return set;
        }
        names << found;
        break;
    }
    }
    if (names.isEmpty()) {
        set.outcome = FrameSet::Outcome::NoImages;
        return set;
    }
    for (const QString& name : names) {
        if (!addFrame(set, name, cache))
            return set;
    }
    set.outcome = set.names.isEmpty() ? FrameSet::Outcome::NoImages : FrameSet::Outcome::Loaded;
    return set;
}
