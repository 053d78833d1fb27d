#pragma once

#include "core/AlarmDefinition.h"

#include <QList>
#include <QString>

// The alarm definitions file (one definition per line, 14 comma-separated
// values in the write form) and the list of programs an alarm may start.
class AlarmFile
{
public:
    static constexpr int MaxDefinitions = 1000;
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
    // the METAR and SPECI flags. Throws TypeMismatch or Overflow, naming the
    // line, for a value that does not convert, SubscriptOutOfRange for more
    // than 1000 definitions.
    void load(const QString& path);
    // "alarm-exe.txt": command line and description per line; optional.
    void loadExe(const QString& path);

    // One definition in the write form: texts in double quotes, numbers plain.
    static QString writeLine(const AlarmDefinition& d);
    // Parses one line in the write form; missing values keep their defaults.
    static AlarmDefinition readLine(const QString& line);
    // Writes every definition, replacing the file whole, CR LF line ends.
    void save(const QString& path) const;

    QList<AlarmDefinition>& definitions() { return m_definitions; }
    const QList<AlarmDefinition>& definitions() const { return m_definitions; }
    int alarmCount() const { return static_cast<int>(m_definitions.size()) - 1; }
    bool metarAlarmDefined() const { return m_metarAlarmDefined; }
    bool speciAlarmDefined() const { return m_speciAlarmDefined; }

    const QList<ExeProgram>& programs() const { return m_programs; }
    bool tooManyPrograms() const { return m_programs.size() > MaxPrograms; }

private:
    QList<AlarmDefinition> m_definitions;
    bool m_metarAlarmDefined = false;
    bool m_speciAlarmDefined = false;
    QList<ExeProgram> m_programs;
};
