#pragma once

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>
#include <atomic>
#include <optional>

class FrameCache;

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
    QString error; // the decoder's message for a bad image
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

    // Starts the request; returns its ticket, repeated in the result.
    quint64 load(const FrameRequest& request);
    // Waits until every started request has finished (its result may still
    // be waiting in the event queue).
    void waitForDone();

    // The work of one request, on the calling thread.
    static FrameSet run(const FrameRequest& request, FrameCache& cache);
    // Reads and decodes one file, through the cache when given. Nothing when
    // the file cannot be read or is not a picture (error says why).
    static std::optional<QImage> decode(const QString& path, FrameCache* cache, QString* error);
    // The file's name in directory: the name itself, or a name that differs
    // only in case; empty when there is none or the name is not a plain file name.
    static QString resolveName(const QString& directory, const QString& name);

signals:
    void loaded(const FrameSet& set);

private:
    FrameCache& m_cache;
    QThreadPool m_pool;
    std::atomic<quint64> m_next{0};
};
