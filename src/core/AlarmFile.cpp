#include "core/AlarmFile.h"

#include "platform/ItemReader.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QFileInfo>

namespace {

// An empty value keeps the field's default, as a missing one does.
template <typename T, typename Convert>
void setNumber(const QString& value, T& field, Convert convert)
{
    if (!value.trimmed().isEmpty())
        field = convert(value);
}

void setField(AlarmDefinition& d, int field, const QString& value)
{
    const auto byte = ValueConversion::strictByte;
    const auto int16 = ValueConversion::strictInt16;
    switch (field) {
    case 0:
        d.pattern = value;
        break;
    case 1:
        setNumber(value, d.list, byte);
        break;
    case 2:
        setNumber(value, d.print, byte);
        break;
    case 3:
        setNumber(value, d.compress, byte);
        break;
    case 4:
        setNumber(value, d.scroll, int16);
        break;
    case 5:
        setNumber(value, d.audio, int16);
        break;
    case 6:
        setNumber(value, d.email, int16);
        break;
    case 7:
        setNumber(value, d.pager, int16);
        break;
    case 8:
        setNumber(value, d.dayOnly, byte);
        break;
    case 9:
        d.zone = value;
        break;
    case 10:
        setNumber(value, d.log, byte);
        break;
    case 11:
        setNumber(value, d.display, byte);
        break;
    case 12:
        setNumber(value, d.exe, byte);
        break;
    case 13:
        setNumber(value, d.custom, byte);
        break;
    default:
        break;
    }
}

// The write form of a text cannot hold a double quote: it would end the
// value early and shift every later field when read back.
QString quoted(const QString& text)
{
    QString clean = text;
    clean.remove(QLatin1Char('"'));
    return QLatin1Char('"') + clean + QLatin1Char('"');
}

QString number(int value)
{
    return QString::number(value);
}

} // namespace

QString AlarmFile::fileName(int alarmFileNum)
{
    if (alarmFileNum == 0)
        return QStringLiteral("alarm-v15.cfg");
    return QStringLiteral("alarm-v15.%1.cfg").arg(alarmFileNum);
}

AlarmDefinition AlarmFile::readLine(const QString& line)
{
    AlarmDefinition d;
    ItemReader reader(line);
    for (int field = 0; field < FieldCount && !reader.atEnd(); ++field) {
        const QString value = reader.next();
        try {
            setField(d, field, value);
        } catch (const RuntimeError& error) {
            throw RuntimeError(error.number(),
                               QStringLiteral("value %1 \"%2\"").arg(field + 1).arg(value));
        }
    }
    return d;
}

void AlarmFile::load(const QString& path, int limit)
{
    m_definitions.clear();
    m_problems.clear();
    m_skipped.clear();
    refreshObservationFlags();
    if (!TextFile::existsNonEmpty(path))
        return;
    const QStringList lines = TextFile::readLines(path);
    const QString name = QFileInfo(path).fileName();
    const auto where = [&name](int i) {
        return QStringLiteral("%1 line %2: ").arg(name).arg(i + 1);
    };
    bool overLimit = false; // named once, by the first line beyond the limit
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.trimmed().isEmpty())
            continue;
        if (m_definitions.size() >= limit) {
            if (!overLimit)
                m_problems << where(i) +
                                  QStringLiteral("more than %1 alarms, the rest is not used: ")
                                      .arg(limit) +
                                  line;
            overLimit = true;
            m_skipped.append({m_definitions.size(), line});
            continue;
        }
        try {
            m_definitions.append(readLine(line));
        } catch (const RuntimeError&) {
            m_problems << where(i) + line;
            m_skipped.append({m_definitions.size(), line});
        }
    }
    refreshObservationFlags();
}

void AlarmFile::refreshObservationFlags()
{
    m_metarAlarmDefined = false;
    m_speciAlarmDefined = false;
    for (const AlarmDefinition& d : m_definitions) {
        m_metarAlarmDefined |= d.pattern.contains(QLatin1String("METAR"));
        m_speciAlarmDefined |= d.pattern.contains(QLatin1String("SPECI"));
    }
}

void AlarmFile::loadExe(const QString& path)
{
    m_programs.clear();
    if (!TextFile::existsNonEmpty(path))
        return;
    const QStringList lines = TextFile::readLines(path);
    for (const QString& line : lines) {
        if (m_programs.size() >= MaxProgramsRead)
            break;
        ItemReader reader(line);
        if (reader.atEnd())
            continue;
        ExeProgram program;
        program.command = reader.next();
        if (!reader.atEnd())
            program.description = reader.next();
        if (!program.command.isEmpty())
            m_programs.append(program);
    }
}

QString AlarmFile::writeLine(const AlarmDefinition& d)
{
    const QStringList values = {
        quoted(d.pattern), number(d.list),    number(d.print), number(d.compress), number(d.scroll),
        number(d.audio),   number(d.email),   number(d.pager), number(d.dayOnly),  quoted(d.zone),
        number(d.log),     number(d.display), number(d.exe),   number(d.custom),
    };
    return values.join(QLatin1Char(','));
}

void AlarmFile::save(const QString& path) const
{
    QStringList lines;
    lines.reserve(m_definitions.size() + m_skipped.size());
    auto skipped = m_skipped.cbegin();
    for (qsizetype i = 0; i < m_definitions.size(); ++i) {
        for (; skipped != m_skipped.cend() && skipped->after <= i; ++skipped)
            lines << skipped->text;
        lines << writeLine(m_definitions.at(i));
    }
    for (; skipped != m_skipped.cend(); ++skipped)
        lines << skipped->text;
    TextFile::writeAll(path, TextFile::toCrLf(lines));
}
