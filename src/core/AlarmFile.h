#pragma once

#include "core/AlarmDefinition.h"

#include <QList>
#include <QString>
#include <QStringList>

// The alarm definitions file (one definition per line, 14 comma-separated
// values in the write form) and the list of programs an alarm may start.
class AlarmFile
{
public:
    static constexpr int MaxDefinitions = 1000;
    // The editor keeps one fewer, so that a definition can always be added back.
    static constexpr int MaxEditable = 999;
    static constexpr int FieldCount = 14;
    static constexpr int MaxProgramsRead = 50;
    static constexpr int MaxPrograms = 9;

    struct ExeProgram
    {
        QString command;
        QString description;
    };

    // 0 -> "alarm-v15.cfg", N -> "alarm-v15.N.cfg".
    static QString fileName(int alarmFileNum);

    // Loads the definitions (a missing or empty file holds none) and derives
    // the METAR and SPECI flags. A line whose values do not convert is skipped,
    // and so is every line beyond limit definitions; each is named in
    // problems() (file, line number and text) and the rest is kept. Skipped
    // lines are kept as text and written back by save() in their place.
    void load(const QString& path, int limit = MaxDefinitions);
    // What the last load skipped, one text per skipped line (lines beyond the
    // limit are named once, by the first of them).
    const QStringList& problems() const { return m_problems; }
    // "alarm-exe.txt": command line and description per line; optional.
    void loadExe(const QString& path);

    // One definition in the write form: texts in double quotes, numbers plain.
    static QString writeLine(const AlarmDefinition& d);
    // Parses one line in the write form; missing values keep their defaults.
    static AlarmDefinition readLine(const QString& line);
    // Writes every definition, CR LF line ends, with the lines the last load
    // skipped unchanged where they stood (after as many definitions as came
    // before them then, at the end when fewer are left). The file is replaced
    // whole or not at all: a failure (PathFileAccess) leaves the old file.
    void save(const QString& path) const;

    QList<AlarmDefinition>& definitions() { return m_definitions; }
    const QList<AlarmDefinition>& definitions() const { return m_definitions; }
    int alarmCount() const { return static_cast<int>(m_definitions.size()) - 1; }
    // Sets the METAR and SPECI flags again from the patterns (after an edit).
    void refreshObservationFlags();
    bool metarAlarmDefined() const { return m_metarAlarmDefined; }
    bool speciAlarmDefined() const { return m_speciAlarmDefined; }

    const QList<ExeProgram>& programs() const { return m_programs; }
    bool tooManyPrograms() const { return m_programs.size() > MaxPrograms; }

private:
    // A line load() could not use: after how many definitions it stood.
    struct SkippedLine
    {
        qsizetype after = 0;
        QString text;
    };

    QList<AlarmDefinition> m_definitions;
    QStringList m_problems;
    QList<SkippedLine> m_skipped;
    bool m_metarAlarmDefined = false;
    bool m_speciAlarmDefined = false;
    QList<ExeProgram> m_programs;
};
