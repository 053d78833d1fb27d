#pragma once

#include <QString>
#include <QStringList>

// The purge's log, "purge-log.txt" in the program directory: one line per
// removed file or problem, each stamped with the date and time. It is started
// afresh (the old one kept as "purge-log.old.txt") when it grows past a limit.
class PurgeLog
{
public:
    static constexpr qint64 MaxBytes = 1024 * 1024;

    explicit PurgeLog(QString path);

    // Appends the lines; false when the log cannot be written.
    bool append(const QStringList& lines) const;
    QString path() const { return m_path; }

private:
    QString m_path;
};
