#pragma once

#include "product/PagerFiles.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <array>

// The pager settings that the paging program keeps in its own directory:
// "users.ini" (the personal pager) and "groups.ini" (ten pager groups), read
// by PagerFiles and written here.
class PagerConfig
{
public:
    static constexpr int GroupCount = PagerFiles::GroupCount;
    static constexpr int MemberCount = PagerFiles::MemberCount;
    static constexpr int LinesPerGroup = PagerFiles::LinesPerGroup;

    using Group = PagerFiles::Group;

    // Personal pager (users.ini).
    QString personalId;
    QString pagerNumber;
    QString dialup;
    QString speed;
    QString parity;
    QString dataBits;
    QString stopBits;
    QString charsPerPage;
    std::array<Group, GroupCount> groups;

    // Reads both files from the paging program's directory. A missing
    // directory throws RuntimeError(PathNotFound, "users.ini"); a missing file
    // leaves its values empty (groups undefined).
    static PagerConfig load(const QString& abcPagerDir);
    void loadUsers(const QString& path);
    void loadGroups(const QString& path);

    // Write the files whole, with CR LF line ends.
    void saveUsers(const QString& abcPagerDir) const;
    void saveGroups(const QString& abcPagerDir) const;
    QStringList usersLines() const;
    QStringList groupsLines() const;

    // Group g, 1 to GroupCount; nullptr when out of range.
    const Group* group(int g) const;
    // Numbers of the groups with characters per page.
    QList<int> definedGroups() const;

    static QString filePath(const QString& dir, const QString& name)
    {
        return PagerFiles::filePath(dir, name);
    }

private:
    static QString serialLine(const QString& parity, const QString& dataBits,
                              const QString& stopBits);
};
