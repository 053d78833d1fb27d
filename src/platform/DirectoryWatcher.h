#pragma once

#include <QObject>
#include <QSet>
#include <QString>
#include <memory>

class QSocketNotifier;

// Watches one directory through inotify and tells which files are complete:
// closed after writing (IN_CLOSE_WRITE) or moved in (IN_MOVED_TO). A file
// created and not closed yet is being written, or was linked in whole: a
// name made by link(2) or linkat(2) (ln, cp -l, an unnamed temporary file
// linked in) is reported created and never closed. Changes made elsewhere (a
// network share written by another machine) are not seen.
class DirectoryWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DirectoryWatcher(QObject* parent = nullptr);
    ~DirectoryWatcher() override;

    // Starts watching the directory (stops watching the previous one); false
    // when the directory cannot be watched.
    bool watch(const QString& directory);
    void stop();
    bool isActive() const { return m_fd >= 0 && m_wd >= 0; }
    QString directory() const { return m_directory; }

    // Whether the name was reported complete since it was last taken; takes
    // it. Names not asked for stay until they are taken or go away, so a
    // file reported between a listing and this call is not lost.
    bool takeCompleted(const QString& name) { return m_completed.remove(name); }
    // The file was created and has not been closed since (or was linked in).
    bool isBeingWritten(const QString& name) const { return m_writing.contains(name); }
    // Events were lost (the kernel queue overflowed) since the last call;
    // what was reported complete before the loss is forgotten.
    bool takeOverflow();

    // Reads the pending events at once (the notifier does so on its own).
    void readEvents();

signals:
    // At least one file was completed.
    void completed();

private:
    void handle(quint32 mask, const QString& name);

    int m_fd = -1;
    int m_wd = -1;
    QString m_directory;
    std::unique_ptr<QSocketNotifier> m_notifier;
    QSet<QString> m_completed;
    QSet<QString> m_writing;
    bool m_overflow = false;
};
