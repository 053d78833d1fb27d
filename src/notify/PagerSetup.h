#pragma once

#include "notify/PagerConfig.h"

#include <QString>

class Settings;
class SettingsStore;

// What the paging configuration dialogs edit: the personal pager with the
// page limit and compression (users.ini and section "Pager" of the
// settings), and the ten groups (groups.ini). The pager table is the one
// paging uses, so a change takes effect at the next page.
class PagerSetup
{
public:
    static inline const QString DefaultUserName = QStringLiteral("ATM1");

    // The fields of the personal pager dialog.
    struct Personal
    {
        QString dialup;
        QString pagerNumber;
        QString chars;
        QString userName;
        QString maxPages;
        QString speed;
        QString parity;
        QString dataBits;
        QString stopBits;
        bool compress = false;
    };

    // directory: where users.ini and groups.ini are written.
    PagerSetup(PagerConfig& pagers, Settings& settings, SettingsStore& store, QString directory);

    QString directory() const { return m_directory; }

    // The current values; the user name is "ATM1" while none is set.
    Personal personal() const;
    // Stores the fields, writes users.ini whole, then MaxPages and
    // CompressPagerWarnings. Throws RuntimeError when users.ini cannot be
    // written (nothing is changed then).
    void savePersonal(const Personal& fields);
    // A pager number holds digits only (it is dialled and sent as the pager ID).
    static bool pagerNumberAcceptable(const QString& number);

    // A pager PIN that fits a page block: letters and digits, 1 to 16.
    static bool pinUsable(const QString& pin);
    // Why a group cannot be stored as it is: the first member PIN that
    // cannot be paged, named in a message; empty when all can.
    static QString memberPinProblem(const PagerConfig::Group& group);

    // Reads groups.ini into the pager table (a missing file: no groups).
    void openGroups();
    const PagerConfig::Group& group(int g) const;
    // Stores the fields of group g (1 to 10) in the pager table.
    void storeGroup(int g, const PagerConfig::Group& fields);
    // Writes all ten groups to groups.ini, whole. Throws RuntimeError on failure.
    void saveGroups() const;

private:
    PagerConfig& m_pagers;
    Settings& m_settings;
    SettingsStore& m_store;
    QString m_directory;
};
