#include "core/ReferenceTables.h"

#include "platform/ItemReader.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>

namespace {

// The file's text; place names in the shipped tables are UTF-8, older
// hand-made tables may be 8-bit.
QString readTableText(const QString& path)
{
    QFile file(path);
    if (!file.exists())
        throw RuntimeError(ErrorNumber::FileNotFound, path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, path);
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

QString where(const QString& path, const QString& what)
{
    return QFileInfo(path).fileName() + QLatin1Char(' ') + what;
}

void checkRoom(qsizetype used, int capacity, const QString& path, const QString& what)
{
    if (used >= capacity)
        throw RuntimeError(
            ErrorNumber::SubscriptOutOfRange,
            where(path, QStringLiteral("holds more than %1 %2").arg(capacity).arg(what)));
}

bool isBlankLine(const QString& line)
{
    return line.trimmed().isEmpty();
}

} // namespace

void ReferenceTables::loadRadarSite(const QString& path)
{
    m_radarFileExists = TextFile::exists(path);
    m_radarSite.clear();
    if (!TextFile::existsNonEmpty(path))
        return;
    // The code is the start of the file; a line end never belongs to it.
    const QStringList lines = TextFile::splitLines(readTableText(path));
    if (!lines.isEmpty())
        m_radarSite = lines.first().left(8);
}

void ReferenceTables::loadAwipsHeaders(const QString& path)
{
    m_awipsHeaders.clear();
    if (!TextFile::exists(path))
        return;
    ItemReader reader(readTableText(path));
    do {
        checkRoom(m_awipsHeaders.size(), MaxAwipsHeaders, path, QStringLiteral("header pairs"));
        const QString name = reader.next();
        const QString identifier = reader.next();
        m_awipsHeaders.append({name, identifier});
    } while (!reader.atEnd());
}

QString ReferenceTables::awipsIdentifierFor(const QString& productName) const
{
    for (const auto& pair : m_awipsHeaders) {
        if (pair.first == productName)
            return pair.second;
    }
    return QString();
}

void ReferenceTables::loadCounties(const QString& path)
{
    m_states.clear();
    const QStringList lines = TextFile::splitLines(readTableText(path));
    QString prefix;
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (isBlankLine(line))
            continue;
        const QStringList words = line.split(QLatin1Char(' '));
        if (words.first().contains(QLatin1Char('#')))
            continue;
        if (words.size() < 2)
            throw RuntimeError(ErrorNumber::InputPastEnd,
                               where(path, QStringLiteral("line %1: one word only").arg(i + 1)));
        if (words.at(0).size() == 2 && words.at(1).size() == 2) {
            checkRoom(m_states.size(), MaxStates, path, QStringLiteral("states"));
            m_states.append({words.at(1), {}});
            prefix = words.at(1) + QLatin1Char('C');
        } else if (!m_states.isEmpty()) {
            addCountyLine(words, prefix, i + 1, path);
        }
    }
}

void ReferenceTables::addCountyLine(const QStringList& words, const QString& prefix, int lineNumber,
                                    const QString& path)
{
    QList<County>& counties = m_states.last().counties;
    if (counties.size() >= MaxCountiesPerState)
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange,
                           where(path, QStringLiteral("line %1: more than %2 counties in %3")
                                           .arg(lineNumber)
                                           .arg(MaxCountiesPerState)
                                           .arg(m_states.last().abbreviation)));
    // Re-joining at single blanks keeps runs of blanks inside the name.
    const QString name = words.mid(1).join(QLatin1Char(' ')).trimmed();
    counties.append({prefix + words.first(), name});
}

void ReferenceTables::loadPrinterFont(const QString& path)
{
    m_printerFontSize = DefaultPrinterFontSize;
    if (!TextFile::existsNonEmpty(path))
        return;
    const QStringList lines = TextFile::splitLines(readTableText(path));
    m_printerFontSize = ValueConversion::checkedByte(lines.value(0));
}

void ReferenceTables::loadDictionary(const QString& path)
{
    m_dictionary.clear();
    ItemReader reader(readTableText(path));
    do {
        checkRoom(m_dictionary.size(), MaxDictionaryPairs, path, QStringLiteral("pairs"));
        const QString find = reader.next();
        const QString replacement = reader.next();
        m_dictionary.append({find, replacement});
        if (find == QLatin1String("-END-"))
            break;
    } while (!reader.atEnd());
}

void ReferenceTables::loadCountyProducts(const QString& path)
{
    m_countyProducts.clear();
    ItemReader reader(readTableText(path));
    do {
        checkRoom(m_countyProducts.size(), MaxCountyProducts, path, QStringLiteral("categories"));
        m_countyProducts.append(reader.next());
        if (m_countyProducts.last() == QLatin1String("-END-"))
            break;
    } while (!reader.atEnd());
}

void ReferenceTables::loadZones(const QString& path)
{
    m_zones.clear();
    const QString text = readTableText(path);
    // One row a line: room for them all at once, so that the table is not
    // copied over and over while it grows (the shipped one has 4000 rows).
    m_zones.reserve(std::min<qsizetype>(text.count(QLatin1Char('\n')) + 1, MaxZoneRows));
    ItemReader reader(text);
    while (!reader.atEnd()) {
        checkRoom(m_zones.size(), MaxZoneRows, path, QStringLiteral("zones"));
        ZoneRow row;
        row.state = reader.next();
        row.zone = reader.next();
        row.office = reader.next();
        row.name = reader.next();
        m_zones.append(std::move(row));
    }
}
