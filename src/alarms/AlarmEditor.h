#pragma once

#include "core/Settings.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

class AlarmFile;
class IPrompter;
class ReferenceTables;
class SettingsStore;
struct AlarmDefinition;

// The logic of the alarm editor "EMWIN Alarms": it turns the fields of one
// definition into a table entry (with the checks and messages of Add), fills
// the drop-down lists from the loaded tables, lists the table as grid rows,
// copies, edits, deletes and sorts definitions, and keeps the five alarm
// files with their captions. The window (frmAlarmBox) binds controls to it.
class AlarmEditor
{
public:
    struct Context
    {
        QString programDir;
        AlarmFile& alarms;
        Settings& settings;
        SettingsStore& store;
        const ReferenceTables& tables;
        IPrompter& prompter;
        QStringList emailGroups; // names of the e-mail groups, in list order
        QList<int> pagerGroups;  // numbers of the defined pager groups
    };

    // How the area of a definition is chosen: by forecast zone (UGC), by
    // county (FIPS), or not at all.
    enum class ZoneMode
    {
        None,
        UGC,
        FIPS
    };

    // An item of a drop-down list and the value it stands for.
    struct Choice
    {
        QString text;
        QVariant value;
    };

    // The input fields: list positions as the window shows them (-1 none).
    struct Fields
    {
        QString header;
        ZoneMode mode = ZoneMode::None;
        int state = -1;  // index in StateCodes
        int county = -1; // index in countyItems(state, mode)
        bool full = false;
        bool point = false; // zone POINT: the user's location
        bool print = false, screen = false, scroll = false, time = false;
        bool log = false, list = false, compress = false, archive = false;
        int alert = 0, email = 0, pager = 0, exe = 0;
    };

    static constexpr int FileCount = 5;
    // The longest pattern Add takes; identifiers have 6 to 9 characters, an
    // expression over several of them a few dozen.
    static constexpr int MaxPatternLength = 100;
    static inline const QString Title = QStringLiteral("Vantorel Alarms");
    static const QStringList StateCodes;

    explicit AlarmEditor(const Context& context);

    // ------------------------------------------------------------ lists
    static QStringList alertItems();
    QList<Choice> emailItems() const;
    QList<Choice> pagerItems() const;
    QStringList exeItems() const;
    // Counties (value: county code) or zones (value: zone number) of a state.
    QList<Choice> countyItems(int state, ZoneMode mode) const;
    // The zone mode the first three characters of a pattern call for.
    ZoneMode zoneModeFor(const QString& pattern) const;

    // ------------------------------------------------------------ fields
    static Fields cleared() { return Fields{}; }
    // The zone code the fields give (empty: any area).
    QString zoneOf(const Fields& fields) const;
    // Why a POINT definition would never alarm now; empty when it can.
    QString pointProblem() const;
    // Adds the definition; on success the fields are cleared. A refused
    // entry leaves the table as it was and is explained in a message.
    bool add(Fields& fields);
    // The fields of definition row (0-based); Edit also takes it out.
    Fields copy(int row) const;
    Fields edit(int row);
    void remove(int row);
    // Asked before Copy/Edit/Delete and before closing when a pattern is typed.
    bool confirmOtherCommand(const Fields& fields);
    bool confirmExit(const Fields& fields);

    // ------------------------------------------------------------ grid
    static QString gridHeading();
    int rowCount() const;
    QStringList gridRow(int row) const;
    void sortByProduct();
    void sortByZone();

    // ------------------------------------------------------------ files
    // On opening the editor: reads the captions and reloads the current
    // alarm file (at most 999 definitions).
    void open();
    // On closing the editor: writes the table to the current file and stores
    // the file number and captions; false (after a message) when the file
    // cannot be written.
    bool close();
    int fileNum() const { return m_fileNum; }
    // Saves the current file and changes to file index (offering a copy of
    // File 1 for a new one); false when the current file cannot be saved.
    bool switchFile(int index);
    QString caption(int index) const { return m_captions.value(index); }
    // Asks for a new caption; true when one was given.
    bool renameFile(int index);

    // ------------------------------------------------------------ day window
    int cutoffAM() const { return m_c.settings.CutoffAM; }
    int cutoffPM() const { return m_c.settings.CutoffPM; }
    void setCutoffAM(int hour) { m_c.settings.CutoffAM = static_cast<qint16>(hour); }
    void setCutoffPM(int hour) { m_c.settings.CutoffPM = static_cast<qint16>(hour); }
    QString timeLabel() const;
    void storeCutoffs();

private:
    QString filePath(int index) const;
    // Reloads the table from the current file; definitions that stay the
    // same keep what the alarm component remembers of them.
    void reload();
    bool save();
    bool patternIsValid(const QString& pattern);
    void fillDefinition(AlarmDefinition& d, const Fields& f, const QString& pattern) const;
    QString choiceText(const QList<Choice>& items, int value) const;
    int choicePosition(const QList<Choice>& items, int value) const;
    void message(const QString& text);

    Context m_c;
    int m_fileNum = 0;
    QStringList m_captions;
};
