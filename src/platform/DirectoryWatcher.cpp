#include "platform/DirectoryWatcher.h"

#include <QFile>
#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

DirectoryWatcher::DirectoryWatcher(QObject* parent) : QObject(parent) {}

DirectoryWatcher::~DirectoryWatcher()
{
    stop();
}

bool DirectoryWatcher::watch(const QString& directory)
{
    stop();
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0)
        return false;
    const quint32 mask =
        IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR;
    m_wd = ::inotify_add_watch(m_fd, QFile::encodeName(directory).constData(), mask);
    if (m_wd < 0) {
        stop();
        return false;
    }
    m_directory = directory;
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    connect(m_notifier.get(), &QSocketNotifier::activated, this, &DirectoryWatcher::readEvents);
    return true;
}

void DirectoryWatcher::stop()
{
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_wd = -1;
    m_directory.clear();
    m_completed.clear();
    m_writing.clear();
}

bool DirectoryWatcher::takeOverflow()
{
    const bool overflow = m_overflow;
    m_overflow = false;
    return overflow;
}

void DirectoryWatcher::readEvents()
{
    if (m_fd < 0)
        return;
    alignas(inotify_event) char buffer[64 * 1024];
    const qsizetype before = m_completed.size();
    for (;;) {
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got <= 0)
            break; // EAGAIN: nothing more for now
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer + at, sizeof event);
            const char* name = buffer + at + sizeof(inotify_event);
            handle(event.mask, event.len > 0 ? QFile::decodeName(name) : QString());
            at += ssize_t(sizeof(inotify_event) + event.len);
        }
    }
    if (m_completed.size() > before)
        emit completed();
}

void DirectoryWatcher::handle(quint32 mask, const QString& name)
{
    if (mask & IN_Q_OVERFLOW) {
        // What is being written, or was rewritten since its report, is not
        // known any more.
        m_overflow = true;
        m_writing.clear();
        m_completed.clear();
        return;
    }
    if (mask & IN_IGNORED) {
        m_wd = -1; // the directory went away
        return;
    }
    if (name.isEmpty())
        return;
    if (mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) {
        m_writing.remove(name);
        m_completed.insert(name);
    } else if (mask & IN_CREATE) {
        m_writing.insert(name);
        m_completed.remove(name);
    } else if (mask & (IN_DELETE | IN_MOVED_FROM)) {
        m_writing.remove(name);
        m_completed.remove(name);
    }
}
