#pragma once

#include "product/PagerFiles.h"

#include <QString>
#include <QStringList>
#include <optional>

// The pagers a recipient stands for, read from the two files the program's
// pager setup writes (users.ini and groups.ini, see PagerFiles); values are
// trimmed here, as they go to the modem.
class PagerTargets
{
public:
    static constexpr int GroupCount = PagerFiles::GroupCount;
    static constexpr int MemberCount = PagerFiles::MemberCount;

    struct Target
    {
        QString recipient;
        QString dialup;
        QString speed;
        QString parity;
        QString dataBits;
        QString stopBits;
        QString chars;
        QStringList pins;     // usable pager numbers, in order
        QStringList unusable; // pager numbers that cannot go into a page block
    };

    // Reads both files from dir; false with a reason when neither exists or
    // one cannot be read.
    bool load(const QString& dir, QString* error);
    void setUsersLines(const QStringList& lines);
    void setGroupsLines(const QStringList& lines);

    // The personal pager ID, or "!GROUP" + 1..10 (any case).
    std::optional<Target> resolve(const QString& recipient, QString* error) const;

    // A pager number fit for a page block: letters and digits, 1 to 16 of them.
    static bool usablePin(const QString& pin) { return PagerFiles::usablePin(pin); }

private:
    std::optional<Target> personal(const QString& recipient, QString* error) const;
    std::optional<Target> group(const QString& recipient, int g, QString* error) const;

    bool m_haveUsers = false;
    bool m_haveGroups = false;
    PagerFiles::Personal m_personal;
    PagerFiles::Groups m_groups;
};
