#pragma once

#include "ingest/Quarantine.h"

#include <QByteArray>
#include <QString>

class DisplayState;
class IClock;
class Settings;
class StatusLine;
struct IncomingProduct;

// What every product handler does with the file in the Data-In directory:
// take it out, discard it by rule, set it aside in quarantine, report an
// error about it.
class ProductIntake
{
public:
    static inline const QString Caption = QStringLiteral("MAIN: ProcessData");

    ProductIntake(const QString& programDir, const Settings& settings, StatusLine& status,
                  DisplayState& display, IClock& clock);

    const Settings& settings() const { return m_settings; }
    StatusLine& status() { return m_status; }
    DisplayState& display() { return m_display; }

    QString dataInPath(const IncomingProduct& p) const;
    // The clock as "MMddHHmm", for dated names.
    QString timestamp() const;

    // Moves the file out of the Data-In directory. A move that is not
    // allowed throws IngestFailure::NotTakenYet: the file waits for the next
    // poll. Other failures throw RuntimeError.
    void takeOut(const IncomingProduct& p, const QString& to);
    // A discard ordered by rule: the file is deleted; an empty status text
    // leaves the status line alone.
    void discard(const IncomingProduct& p, const QString& status);
    // Moves source into track/bad/ and says so on the status line; false
    // when it could not be moved.
    bool quarantine(const QString& source, const QString& name, const QString& reason);
    bool quarantineRaw(const QByteArray& source, const QString& name, const QString& reason);
    // The error report goes into the bulletin display; the file, when still
    // in the Data-In directory, is kept in quarantine.
    void reportError(const IncomingProduct& p, int number, const QString& text);

    QString quarantineDir() const { return m_quarantine.directory(); }

private:
    const Settings& m_settings;
    StatusLine& m_status;
    DisplayState& m_display;
    IClock& m_clock;
    Quarantine m_quarantine;
};
