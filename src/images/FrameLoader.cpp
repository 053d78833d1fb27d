#include "images/FrameLoader.h"

#include "images/FrameCache.h"
#include "images/FrameSelection.h"
#include "platform/FileLister.h"
#include "product/Quarantine.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <climits>
#include <new>

namespace {
constexpr int WorkerThreads = 2;
constexpr qint64 BytesPerPixel = 4;
constexpr qint64 Megabyte = 1024 * 1024;

bool plainFileName(const QString& name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) &&
           !name.contains(QLatin1Char('\\')) && name != QLatin1String(".") &&
           name != QLatin1String("..");
}

qint64 pixels(const QSize& size)
{
    return qint64(size.width()) * size.height();
}

// The decoder's own bound on one picture's memory, just above the limit, in
// case a header declares less than the data then fills.
int allocationMegabytes(const FrameLimits& limits)
{
    return int(std::min<qint64>(limits.picturePixels * BytesPerPixel / Megabyte + 1, INT_MAX));
}

QString tooManyPixels(const QSize& size, const FrameLimits& limits)
{
    return QStringLiteral("picture too large: %1 x %2 pixels, at most %3 are read")
        .arg(size.width())
        .arg(size.height())
        .arg(limits.picturePixels);
}

// The size a decoder allocates for the file's picture. The GIF decoder makes
// a picture of the logical screen in the file's header, however small its
// frames (which is what the reader's size reports): the larger of the two counts.
QSize declaredSize(const QByteArray& head, QImageReader& reader)
{
    QSize size = reader.size();
    if (reader.format() == "gif" && head.size() == 10) {
        const auto word = [&head](int at) {
            return int(uchar(head.at(at))) | int(uchar(head.at(at + 1))) << 8;
        };
        size = size.expandedTo(QSize(word(6), word(8)));
    }
    return size;
}

// A step on one file; running out of memory on it counts as a bad image.
template <typename Step> auto guarded(Step step, QString* error) -> decltype(step())
{
    try {
        return step();
    } catch (const std::bad_alloc&) {
        *error = QStringLiteral("out of memory while reading it");
        return std::nullopt;
    }
}

// Ends the set with a bad file, moved to the quarantine.
void refuse(FrameSet& set, const QString& name, const QString& error, FrameCache& cache)
{
    const QString path = set.request.directory + name;
    set.outcome = FrameSet::Outcome::BadImage;
    set.badName = name;
    set.error = error;
    cache.remove(path);
    Quarantine quarantine = Quarantine::inDirectory(set.request.quarantineDir);
    const QString used = quarantine.take(path, name);
    set.quarantined = used.isEmpty() ? QString() : quarantine.directory() + used;
}

bool gone(const FrameSet& set, const QString& path)
{
    return set.request.kind != FrameRequest::Kind::File && !QFileInfo::exists(path);
}

// The newest frames whose declared sizes fit the set's pixel bound, oldest
// first; nothing (and the set ended) when one of them is refused. A file
// removed since the listing (an archive purge) is left out.
std::optional<QStringList> fitting(FrameSet& set, const QStringList& names, FrameCache& cache)
{
    const FrameLimits& limits = set.request.limits;
    QStringList chosen;
    qint64 budget = limits.setPixels;
    for (qsizetype i = names.size() - 1; i >= 0; --i) {
        const QString path = set.request.directory + names.at(i);
        if (gone(set, path))
            continue;
        QString error;
        const std::optional<QSize> size =
            guarded([&] { return FrameLoader::inspect(path, limits, &error); }, &error);
        if (!size) {
            refuse(set, names.at(i), error, cache);
            return std::nullopt;
        }
        if (pixels(*size) > budget) {
            set.leftOut = int(i + 1);
            break;
        }
        budget -= pixels(*size);
        chosen.prepend(names.at(i));
    }
    return chosen;
}

// Decodes one file; a bad one is moved to the quarantine and ends the set.
bool addFrame(FrameSet& set, const QString& name, FrameCache& cache)
{
    const QString path = set.request.directory + name;
    if (gone(set, path))
        return true;
    QString error;
    const std::optional<QImage> image = guarded(
        [&] { return FrameLoader::decode(path, &cache, &error, set.request.limits); }, &error);
    if (!image) {
        refuse(set, name, error, cache);
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

quint64 FrameLoader::load(const FrameRequest& bare)
{
    const quint64 ticket = ++m_next;
    FrameRequest request = bare;
    request.limits = m_limits;
    m_pool.start([this, request, ticket] {
        FrameSet set;
        try {
            set = run(request, m_cache);
        } catch (const std::bad_alloc&) {
            // Never out of this thread: it would end the program.
            set = FrameSet();
            set.request = request;
            set.error = QStringLiteral("out of memory");
        }
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

std::optional<QSize> FrameLoader::inspect(const QString& path, const FrameLimits& limits,
                                          QString* error)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        *error = QStringLiteral("file not found");
        return std::nullopt;
    }
    // Pipes and devices are never opened: a read could wait for ever.
    if (!info.isFile()) {
        *error = QStringLiteral("not a regular file");
        return std::nullopt;
    }
    if (info.size() > limits.fileBytes) {
        *error = QStringLiteral("file too large: %1 bytes, at most %2 MB are read")
                     .arg(info.size())
                     .arg(limits.fileBytes / Megabyte);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    const QByteArray head = file.peek(10);
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    const QSize size = declaredSize(head, reader);
    if (!size.isValid()) {
        *error = reader.canRead() ? QStringLiteral("no picture size in its header")
                                  : reader.errorString();
        return std::nullopt;
    }
    if (pixels(size) > limits.picturePixels) {
        *error = tooManyPixels(size, limits);
        return std::nullopt;
    }
    return size;
}

std::optional<QImage> FrameLoader::decode(const QString& path, FrameCache* cache, QString* error,
                                          const FrameLimits& limits)
{
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    if (cache) {
        if (std::optional<QImage> hit = cache->find(path, size, modified))
            return hit;
    }
    if (!inspect(path, limits, error))
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return std::nullopt;
    }
    QImageReader reader(&file);
    reader.setDecideFormatFromContent(true);
    reader.setAllocationLimit(allocationMegabytes(limits));
    QImage image;
    if (!reader.read(&image) || image.isNull()) {
        *error = reader.errorString();
        return std::nullopt;
    }
    if (pixels(image.size()) > limits.picturePixels) {
        *error = tooManyPixels(image.size(), limits);
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
    const std::optional<QStringList> chosen = fitting(set, names, cache);
    if (!chosen)
        return set;
    for (const QString& name : *chosen) {
        if (!addFrame(set, name, cache))
            return set;
    }
    set.outcome = set.names.isEmpty() ? FrameSet::Outcome::NoImages : FrameSet::Outcome::Loaded;
    return set;
}
