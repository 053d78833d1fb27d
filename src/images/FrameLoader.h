#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <optional>

class FrameCache;

// Bounds on what one request may read and hold. The broadcast's pictures are
// at most about 2000 pixels a side and well under a megabyte; the bounds lie
// far beyond that, so that only a hostile or broken file meets them.
struct FrameLimits
{
    // A file is never read whole, but one this large is no broadcast
    // picture: a 4096 x 4096 GIF at the worst LZW coding (12 bits a pixel) is 24 MB.
    qint64 fileBytes = 32LL * 1024 * 1024;
    // One picture: 4096 x 4096, 64 MB once decoded at 4 bytes a pixel.
    qint64 picturePixels = 4096LL * 4096;
    // All frames of one set: 128 MB decoded; ten frames of 1800 x 1800 fit.
    qint64 setPixels = 2 * 4096LL * 4096;
};

// What a viewer asks to have loaded: the loop frames of a name prefix, the
// newest image of a prefix, or one named file of the image directory.
struct FrameRequest
{
    enum class Kind
    {
        Loop,
        Newest,
        File
    };
    Kind kind = Kind::Loop;
    QString directory;     // the image directory, ending in "/"
    QString name;          // the prefix (Loop, Newest) or the file name (File)
    QDateTime now;         // for the age order of the time stamps
    QString quarantineDir; // where undecodable files are moved
    FrameLimits limits;
};

// The result of a request. On BadImage the named file was moved to the
// quarantine (quarantined holds its new path; empty when it could not be moved).
struct FrameSet
{
    enum class Outcome
    {
        Loaded,
        NoImages,
        NotFound,
        BadImage
    };
    quint64 ticket = 0;
    FrameRequest request;
    Outcome outcome = Outcome::NoImages;
    QStringList names;    // the files shown, oldest first
    QList<QImage> images; // one per name
    QString badName;
    QString quarantined;
    QString error;   // the decoder's message for a bad image
    int leftOut = 0; // older frames not loaded: the set would exceed its pixel bound
};

// Lists and decodes image files on worker threads, so that large pictures do
// not stop the window; decoded pictures are kept in the frame cache. Results
// arrive through loaded() on the thread that owns the loader.
class FrameLoader : public QObject
{
    Q_OBJECT
public:
    explicit FrameLoader(FrameCache& cache, QObject* parent = nullptr);
    ~FrameLoader() override;

    // The bounds given to every request started here.
    void setLimits(const FrameLimits& limits) { m_limits = limits; }
    // Starts the request under this loader's bounds; returns its ticket,
    // repeated in the result.
    quint64 load(const FrameRequest& request);
    // Waits until every started request has finished (its result may still
    // be waiting in the event queue).
    void waitForDone();

    // The work of one request, on the calling thread.
    static FrameSet run(const FrameRequest& request, FrameCache& cache);
    // The picture size the file's header declares. Nothing (error says why)
    // when the file is no regular file (a pipe would block the reader), is
    // larger than the limits allow, or declares no size or too many pixels.
    static std::optional<QSize> inspect(const QString& path, const FrameLimits& limits,
                                        QString* error);
    // Checks, reads and decodes one file, through the cache when given.
    // Nothing when the file is refused, cannot be read or is not a picture.
    static std::optional<QImage> decode(const QString& path, FrameCache* cache, QString* error,
                                        const FrameLimits& limits = {});
    // The file's name in directory: the name itself, or a name that differs
    // only in case; empty when there is none or the name is not a plain file name.
    static QString resolveName(const QString& directory, const QString& name);

signals:
    void loaded(const FrameSet& set);

private:
    FrameCache& m_cache;
    FrameLimits m_limits;
    QThreadPool m_pool;
    std::atomic<quint64> m_next{0};
};
