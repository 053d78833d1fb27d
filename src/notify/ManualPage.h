#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class DisplayState;
class IPrompter;
class Pager;
class PagerConfig;
class ReferenceTables;
class Settings;
class StatusLine;

// Paging the bulletin on show (File > Send to Pager..., the list pop-up):
// the checks before the pick dialog, the shortened text put back into the
// display, the pick list of pagers and the page to the one picked.
class ManualPage
{
public:
    static inline const QString NotFound = QStringLiteral("abcPager software not found");
    static inline const QString NotFoundTitle = QStringLiteral("Vantorel Paging Component");
    static inline const QString Personal = QStringLiteral("Personal");

    struct Context
    {
        const Settings& settings;
        DisplayState& display;
        const ReferenceTables& tables;
        const PagerConfig& pagers;
        Pager& pager;
        IPrompter& prompter;
        StatusLine& status;
    };

    explicit ManualPage(Context context);

    // The steps before the pick dialog: paging must be available and a
    // bulletin on show; with CompressPagerWarnings the shortened text
    // replaces the display's. Returns the text to page, nothing to stop.
    std::optional<QString> prepare();
    // "Personal", then "Group " + " g" for every defined group g.
    static QStringList targets(const PagerConfig& pagers);
    // The recipient text and characters per page of a pick list entry;
    // nothing for an entry that names no defined pager.
    struct Target
    {
        QString recipient;
        QString chars;
    };
    static std::optional<Target> targetFor(const QString& entry, const PagerConfig& pagers);
    // Pages text to the entry picked.
    void send(const QString& entry, const QString& text);

private:
    Context m_c;
};
