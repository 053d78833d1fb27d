#pragma once

#include "ingest/DuplicateFilter.h"
#include "ingest/IProductProcessor.h"
#include "ingest/Quarantine.h"
#include "ingest/Unzipper.h"

#include <QDateTime>
#include <QMap>
#include <QObject>
#include <QString>
#include <optional>

class AlarmFile;
class DisplayState;
class IAlarmLoops;
class IClock;
class IMetarHooks;
class IProcessLauncher;
class IPrompter;
class MenuDefinitions;
class NewProducts;
class ProductHeader;
class ProductLists;
class QFile;
class ReferenceTables;
class Settings;
class StatusLine;

// ProcessData: takes one product file out of the Data-In directory, decides
// what it is (status file, image, compressed product, web page, text
// bulletin), files it under the name the rest of the program finds it by,
// records it in the lists and the new-products entries and runs the alarm
// loops. A file is filed, discarded by rule, or moved to the quarantine
// directory track/bad/ when an error stops it; it is never lost. A file that
// cannot be read, or cannot leave the Data-In directory (no right to), is left
// in place: the first time PathFileAccess is thrown so that the poller retries
// it, the second time it waits for the next poll. Stored versions are rotated
// only once the new product has left the Data-In directory, so a product that
// cannot be taken never costs an older one.
//
// An encrypted archive waits, set aside, for its password, which is asked
// without stopping the polling; everything else goes on being filed.
class ProductProcessor : public QObject, public IProductProcessor
{
    Q_OBJECT
public:
    static inline const QString Caption = QStringLiteral("MAIN: ProcessData");

    // What processing reads and where it reports.
    struct Context
    {
        QString programDir;
        const Settings& settings;
        const ReferenceTables& tables;
        const MenuDefinitions& menus;
        const AlarmFile& alarms;
        StatusLine& status;
        DisplayState& display;
        ProductLists& lists;
        NewProducts& newProducts;
        IClock& clock;
        IProcessLauncher& launcher;
        IPrompter& prompter; // asks for the password of an encrypted archive
    };

    ProductProcessor(const Context& context, IAlarmLoops& alarms, IMetarHooks& metar,
                     QObject* parent = nullptr);

    void ProcessData(const QString& fileName) override;
    void refuse(const QByteArray& rawName, const QString& reason) override;
    void recover() override;

    // programDir + "track/bad/".
    QString quarantineDir() const;
    // "Bad file: " + received name while a file could not be read.
    QString retryMarker() const { return m_retryMarker; }
    Unzipper& unzipper() { return m_unzipper; }
    const DuplicateFilter& duplicates() const { return m_duplicates; }
    // Archives waiting for their password.
    int waitingForPassword() const { return int(m_waiting.size()); }
    // When the last product file was taken (the data-loss watchdog reads it).
    QDateTime lastDataTime() const { return m_lastDataTime; }
    void setLastDataTime(const QDateTime& time) { m_lastDataTime = time; }

    // Identifier padded to 9, "~", station, "~", state.
    static QString productKey(const QString& identifier, const QString& station,
                              const QString& state);
    // True when text can be used as one file name: no path separator, no
    // control character, not "." or "..".
    static bool isSafeFileName(const QString& text);

protected:
    // Opens the product file for reading; false when it cannot be read.
    virtual bool openProduct(QFile& file) const;

private:
    struct Product
    {
        QString original; // the name as listed: addresses the file
        QString received; // upper case, with any "@" suffix
        QString fileName; // received name cut at the first "@"
        QString productName;
        QString state;
    };
    struct Settled
    {
        QString ttaaii;
        QString station;
        QString identifier;
        bool derived = false;
    };
    struct Retention
    {
        int count = 0;
        int item = -1; // the menu item that matched, -1 for none
    };

    struct Waiting
    {
        Product product;
        QString target; // extraction directory
        bool hourly = false;
    };

    static Product describe(const QString& fileName);
    void dispatch(const Product& p);
    void processStatus(const Product& p);
    void processImage(const Product& p);
    void processCompressed(const Product& p);
    void extractStaged(const Product& p, const QString& staged, bool hourly,
                       const std::optional<QString>& password);
    void finishHourly(const Product& p, const QString& staged, bool extractedOk);
    void askPassword(const Product& p, const QString& staged, bool hourly);
    void passwordAnswered(const QString& staged, const std::optional<QString>& answer);
    void takeOut(const Product& p, const QString& to);
    void processWebPage(const Product& p);
    void processText(const Product& p);

    ProductHeader readHeader(const Product& p) const;
    Settled settle(const Product& p, const ProductHeader& header) const;
    bool rejectedByFilter(const Product& p, const Settled& s) const;
    static void deriveIdentifier(const Product& p, Settled& s);
    Retention retentionFor(const QString& key, const QString& station) const;
    void rotateVersions(const QString& key, int count) const;
    bool fileText(const Product& p, const QString& key, int count);
    void writeReceipt(const Product& p, const QString& key);
    void runMetarHooks(const QString& key);
    QString listLine(const QString& key, const Retention& retention) const;
    void addToLists(const Product& p, const QString& line, const QString& key);

    QString dataInPath(const Product& p) const;
    QString timestamp() const;
    void setDdeHeader(const Product& p, const QString& name);
    void discard(const Product& p, const QString& status);
    bool quarantine(const QString& source, const QString& name, const QString& reason);
    bool quarantineRaw(const QByteArray& source, const QString& name, const QString& reason);
    void reportError(const Product& p, int number, const QString& text);

    Context m_c;
    IAlarmLoops& m_alarms;
    IMetarHooks& m_metar;
    Unzipper m_unzipper;
    Quarantine m_quarantine;
    DuplicateFilter m_duplicates;     // the same product from both feeds is filed once
    QMap<QString, Waiting> m_waiting; // by staged archive path
    QString m_retryMarker;
    QDateTime m_lastDataTime;
};
