#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The pagers a recipient stands for, read from the two files the program's
// pager setup writes: "users.ini" (line 1 the personal pager ID, 2 its pager
// number, 3 the dial-up number, 5 the speed, 6 ",P,D,S", 7 characters per
// page) and "groups.ini" (17 lines per group 1 to 10: "GROUPg", dial-up,
// empty, speed, ",P,D,S", characters per page, ten member pager numbers, empty).
class PagerTargets
{
public:
    static constexpr int GroupCount = 10;
    static constexpr int LinesPerGroup = 17;
    static constexpr int MemberCount = 10;

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
    static bool usablePin(const QString& pin);

private:
    std::optional<Target> personal(const QString& recipient, QString* error) const;
    std::optional<Target> group(const QString& recipient, int g, QString* error) const;
    static QString serialPart(const QString& line, int position);

    bool m_haveUsers = false;
    bool m_haveGroups = false;
    QStringList m_users;
    QStringList m_groups;
};
