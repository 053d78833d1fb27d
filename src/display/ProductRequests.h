#pragma once

#include "core/ListKind.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <optional>

class BulletinDisplay;
class DisplayState;
class GphViewer;
class IPrompter;
class MirrorFetcher;
class ProductLists;
class Settings;
class SettingsStore;
class StatusLine;

// The ways the user asks for products: category menus, "All Text Products",
// the state/office/station search box, the quick menu, the product buttons,
// older/newer stepping, the manual entry box with its Internet fetch, the
// log and status items and the clicks on the four lists. A request either
// shows one product or fills the filtered list List1; list requests are
// remembered so that the auto-update timer Timer2 can repeat them.
class ProductRequests : public QObject
{
    Q_OBJECT
public:
    static constexpr int Timer2Interval = 30000;
    static inline const QString Standby =
        QStringLiteral("       === Standby -- attempting to download from the Internet ===");
    static inline const QString ZippedMessage =
        QStringLiteral("Unable to display zipped files within Vantorel");
    static inline const QString Unused = QStringLiteral("ZZZ");

    // Finds the segment of a product for a zone code; nothing when it has none.
    using ZoneFinder =
        std::function<std::optional<QString>(const QString& zoneCode, const QString& product)>;

    // What the requests read and where they show their results.
    struct Context
    {
        QString programDir;
        const Settings& settings;
        const SettingsStore& store; // the Internet mirror addresses
        ProductLists& lists;
        DisplayState& display;
        StatusLine& status;
        IPrompter& prompter;
    };

    ProductRequests(const Context& context, BulletinDisplay& display, MirrorFetcher& fetcher,
                    QObject* parent = nullptr);

    void setZoneFinder(ZoneFinder finder) { m_findUgc = std::move(finder); }
    void setGphViewer(GphViewer* viewer) { m_gph = viewer; }
    // Repeats the image listing (the listing kind "GIF") for the auto-update.
    void setImageListing(std::function<void()> listImages) { m_listImages = std::move(listImages); }

    // The current listing request R0..R3.
    QStringList listingRequest() const { return {m_r[0], m_r[1], m_r[2], m_r[3]}; }
    void setListingRequest(const QString& r0, const QString& r1 = Unused,
                           const QString& r2 = Unused, const QString& r3 = Unused);
    // The store listing pattern of a request.
    static QString listingPattern(const QString& r0, const QString& r1, const QString& r2,
                                  const QString& r3);
    // Runs the current listing request into List1.
    void runListing();
    bool autoUpdate() const { return m_timer2.isActive(); }
    void setAutoUpdate(bool on);
    // The menu file's automatic state filters: each runs the search box
    // request and toggles the auto-update.
    void applyAutomaticStateFilters(const QStringList& filters);

    void listCategory(const QString& tag);
    void listAllBulletins();
    // Enter in the search box; true when a request ran (the box is emptied).
    bool searchStateOrOffice(const QString& text);
    // Key released in the search box; true when a station search ran.
    bool searchStation(const QString& text);
    void quickItem(const QString& tag);
    void productButton(const QString& tag);
    // 0 "<" older product, 1 ">" newer product.
    void showOtherVersion(int index);
    // Enter in the manual entry box (the box is emptied afterwards).
    void requestByName(const QString& text);
    // Options > Internet Mode: typed product names are fetched from the mirror.
    bool internetMode() const { return m_internetMode; }
    void setInternetMode(bool on);
    bool fetching() const { return m_fetching; }
    // 0 log file, 1 clear log file, 2 status file.
    void weatherFile(int index);

    // Opens the entry of a row the user selected in one of the lists.
    void openListEntry(ListKind kind, int row);

    // The product key in the receipt of an 8-character broadcast name, or empty.
    QString receiptKey(const QString& name) const;
    // Base URL of mirror 1 (primary) or 2 (fallback).
    QString mirrorBase(int which) const;
    // Store names matching a pattern, older versions ordered by their number.
    QStringList listStore(const QString& pattern) const;

signals:
    void manualEntryEnabled(bool enabled);
    void internetModeChanged(bool on);
    void autoUpdateChanged(bool on);
    void imageRequested(const QString& name);
    void focusDisplay();

private:
    void fillFiltered(const QStringList& names, bool noneFoundEntry);
    bool checkName(const QString& name) const;
    void showFirstMatch(const QString& pattern);
    void startFetch(const QString& name, int mirror);
    void onFetchFinished(bool found, const QByteArray& body, const QString& reason);
    void openEntry(const QString& entry);

    Context m_c;
    BulletinDisplay& m_display;
    MirrorFetcher& m_fetcher;
    GphViewer* m_gph = nullptr;
    ZoneFinder m_findUgc;
    std::function<void()> m_listImages;
    QString m_r[4] = {QString(), Unused, Unused, Unused};
    QTimer m_timer2;
    bool m_fetching = false;
    bool m_internetMode = false;
    QString m_fetchName;
};
