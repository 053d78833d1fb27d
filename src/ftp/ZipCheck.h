#pragma once

#include <QString>
#include <atomic>

// Whether a ZIP archive arrived whole: its directory agrees with the file,
// and every member reads to its end with the size and checksum (CRC) the
// archive gives for it. A transfer cut short, or a damaged copy, fails here
// before it can take the place of a good archive. Bounded: members beyond
// the member limit and contents beyond the byte limit fail the check.
class ZipCheck
{
public:
    struct Result
    {
        bool whole = false;
        int error = 0;   // the archive library's error number when not whole
        QString problem; // what is wrong, for the user
    };

    static constexpr qint64 DefaultMaxMembers = 1000;
    static constexpr qint64 DefaultMaxBytes = qint64(512) * 1024 * 1024;

    static Result check(const QString& path, const std::atomic_bool* cancel = nullptr,
                        qint64 maxMembers = DefaultMaxMembers, qint64 maxBytes = DefaultMaxBytes);
};
