#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The two pager files the pager setup writes in the paging program's
// directory, read the same way by the program and by the paging program:
// "users.ini" (line 1 the personal pager ID, 2 its pager number, 3 the dial-up
// number, 5 the speed, 6 ",P,D,S", 7 characters per page) and "groups.ini"
// (17 lines per group 1 to 10: "GROUPg", dial-up, empty, speed, ",P,D,S",
// characters per page, ten member pager numbers, empty). Values are kept as
// written (the setup shows and writes them back unchanged); whoever dials
// trims them.
class PagerFiles
{
public:
    static constexpr int GroupCount = 10;
    static constexpr int MemberCount = 10;
    static constexpr int LinesPerGroup = 17;
    static constexpr int UsersLines = 7;
    // Bytes read of one file at most: far more than the lines above take.
    static constexpr qint64 MaxFileBytes = 256 * 1024;
    static inline const QString UsersFile = QStringLiteral("users.ini");
    static inline const QString GroupsFile = QStringLiteral("groups.ini");

    struct Personal
    {
        QString id;
        QString pagerNumber;
        QString dialup;
        QString speed;
        QString parity;
        QString dataBits;
        QString stopBits;
        QString charsPerPage;
    };

    struct Group
    {
        QString dialup;
        QString speed;
        QString parity;
        QString dataBits;
        QString stopBits;
        QString chars; // characters per page; blank = group not defined
        QStringList members = QStringList(MemberCount);
        bool defined() const { return !chars.trimmed().isEmpty(); }
    };
    using Groups = std::array<Group, GroupCount>;

    static Personal readUsers(const QStringList& lines);
    static Groups readGroups(const QStringList& lines);
    // The lines of a pager file (at most MaxFileBytes of it); nullopt when
    // there is no such file. Throws RuntimeError(PathFileAccess) when it
    // cannot be read.
    static std::optional<QStringList> readLines(const QString& path);
    // dir joined to a file name, with or without a final "/" on dir.
    static QString filePath(const QString& dir, const QString& name);

    // A pager number fit for a page block: letters and digits, 1 to 16 of
    // them. The setup refuses others; the paging program skips them.
    static bool usablePin(const QString& pin);
};
