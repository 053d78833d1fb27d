#pragma once

#include "core/AlarmFile.h"
#include "core/MenuDefinitions.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "core/DisplayState.h"
#include "core/ProductLists.h"
#include "notify/EmailBook.h"
#include "notify/PagerConfig.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>
#include <memory>

class SettingsStore;
class IProcessLauncher;
class IWindowControl;
class IPrompter;
class IClock;
class MailSender;
class Pager;
class EngineControl;
class DataInPoller;
class DataWatchdog;
class IProductProcessor;
class ITextPrinter;
class VOZUZUduvi;
class AlarmDispatcher;
class IMetarHooks;
class ProductProcessor;

// The program-wide state that the main window holds for the whole run:
// settings, tables, definitions, the status line and bulletin text, and the
// services of ingest and notification. Windows bind to it; logic works on it.
class MainState : public QObject
{
    Q_OBJECT
public:
    struct Services
    {
        SettingsStore* store;
        IProcessLauncher* launcher;
        IWindowControl* windows;
        IPrompter* prompter;
        IClock* clock;
        // The printer alarms print on; none = printing is not available.
        ITextPrinter* printer = nullptr;
    };

    MainState(const QString& programDir, Services services, QObject* parent = nullptr);
    ~MainState() override;

    // Replaces where the polling pass hands each product file (tests).
    void setProductProcessor(IProductProcessor* processor);

    QString programDir() const { return m_programDir; }
    const Services& services() const { return m_services; }

    Settings settings;
    ReferenceTables tables;
    MenuDefinitions menus;
    AlarmFile alarms;
    EmailBook emailBook;
    PagerConfig pagerConfig;
    StatusLine status;
    DisplayState display;
    ProductLists lists;

    QDateTime lastDataTime;
    QString receiveDir;
    QString receiptDir;
    QStringList localCodes = {QStringLiteral("=}"), QStringLiteral("=}"), QStringLiteral("=}")};
    bool stripLF = false;
    bool pagingAvailable = false;
    QString abcPagerPath;
    QString abcPagerDir;
    QStringList newProducts = QStringList(5, QStringLiteral("none"));
    bool startupSucceeded = false;

    MailSender& mail() { return *m_mail; }
    Pager& pager() { return *m_pager; }
    EngineControl& engine() { return *m_engine; }
    DataInPoller& poller() { return *m_poller; }
    DataWatchdog& watchdog() { return *m_watchdog; }
    // The alarm component (getalarm) and the matching that feeds it.
    VOZUZUduvi& getalarm() { return *m_getalarm; }
    AlarmDispatcher& alarmDispatcher() { return *m_dispatcher; }
    // ProcessData: where the polling pass hands every product file.
    ProductProcessor& processor() { return *m_processor; }

    // The bulletin area txtDisplay: its text and tag (the product on show).
    QString displayText() const { return display.text(); }
    QString displayTag() const { return display.tag(); }
    void setDisplay(const QString& text, const QString& tag = QString());

    // txtDDEHeader: rewritten after every filed product for other programs.
    QString ddeHeader() const { return m_ddeHeader; }
    void setDdeHeader(const QString& text);
    // The new-products entries changed (shown in the short menu).
    void setNewProducts(const QStringList& entries);

    // Rebuilds the services that depend on where abcPager lives.
    void setPagerProgram(const QString& path);
    // Passes the current settings to the watchdog and pager.
    void applySettingsToServices();

signals:
    void displayChanged(const QString& text, const QString& tag);
    void ddeHeaderChanged(const QString& text);
    void newProductsChanged(const QStringList& entries);

private:
    QString m_programDir;
    Services m_services;
    QString m_ddeHeader;
    std::unique_ptr<MailSender> m_mail;
    std::unique_ptr<Pager> m_pager;
    std::unique_ptr<EngineControl> m_engine;
    std::unique_ptr<DataInPoller> m_poller;
    std::unique_ptr<DataWatchdog> m_watchdog;
    std::unique_ptr<ITextPrinter> m_noPrinter;
    std::unique_ptr<VOZUZUduvi> m_getalarm;
    std::unique_ptr<AlarmDispatcher> m_dispatcher;
    std::unique_ptr<IMetarHooks> m_metarHooks;
    std::unique_ptr<ProductProcessor> m_processor;
};
