#include "notify/AlarmWords.h"

#include "core/ReferenceTables.h"
#include "platform/BoundedRead.h"
#include "platform/TextFile.h"
#include "product/PVtec.h"
#include "product/UgcSegments.h"

#include <QFile>
#include <QLocale>
#include <QRegularExpression>

#include <optional>

namespace {

struct Phenomenon
{
    const char* code;
    const char* name;
};

// The phenomena of the VTEC strings in use, named as the products name them.
constexpr Phenomenon kPhenomena[] = {
    {"AF", "Ashfall"},
    {"AS", "Air Stagnation"},
    {"AV", "Avalanche"},
    {"BW", "Brisk Wind"},
    {"BZ", "Blizzard"},
    {"CF", "Coastal Flood"},
    {"DS", "Dust Storm"},
    {"DU", "Blowing Dust"},
    {"EC", "Extreme Cold"},
    {"EH", "Excessive Heat"},
    {"EW", "Extreme Wind"},
    {"FA", "Flood"},
    {"FF", "Flash Flood"},
    {"FG", "Dense Fog"},
    {"FL", "Flood"},
    {"FR", "Frost"},
    {"FW", "Fire Weather"},
    {"FZ", "Freeze"},
    {"GL", "Gale"},
    {"HF", "Hurricane Force Wind"},
    {"HT", "Heat"},
    {"HU", "Hurricane"},
    {"HW", "High Wind"},
    {"HY", "Hydrologic"},
    {"HZ", "Hard Freeze"},
    {"IS", "Ice Storm"},
    {"LE", "Lake Effect Snow"},
    {"LS", "Lakeshore Flood"},
    {"LW", "Lake Wind"},
    {"MA", "Marine"},
    {"MF", "Dense Fog"},
    {"MH", "Ashfall"},
    {"MS", "Dense Smoke"},
    {"RP", "Rip Current"},
    {"SC", "Small Craft"},
    {"SE", "Hazardous Seas"},
    {"SM", "Dense Smoke"},
    {"SQ", "Snow Squall"},
    {"SR", "Storm"},
    {"SS", "Storm Surge"},
    {"SU", "High Surf"},
    {"SV", "Severe Thunderstorm"},
    {"TO", "Tornado"},
    {"TR", "Tropical Storm"},
    {"TS", "Tsunami"},
    {"TY", "Typhoon"},
    {"UP", "Heavy Freezing Spray"},
    {"WC", "Wind Chill"},
    {"WI", "Wind"},
    {"WS", "Winter Storm"},
    {"WW", "Winter Weather"},
    {"XH", "Extreme Heat"},
    {"ZF", "Freezing Fog"},
    {"ZR", "Freezing Rain"},
};

// Events whose name is not phenomenon + significance.
struct Special
{
    const char* code;
    const char* name;
};
constexpr Special kSpecial[] = {
    {"FW.W", "Red Flag Warning"},
    {"MA.W", "Special Marine Warning"},
    {"MA.S", "Marine Weather Statement"},
};

QString significanceName(QChar significance)
{
    switch (significance.toLatin1()) {
    case 'W':
        return QStringLiteral("Warning");
    case 'A':
        return QStringLiteral("Watch");
    case 'Y':
        return QStringLiteral("Advisory");
    case 'S':
        return QStringLiteral("Statement");
    case 'F':
        return QStringLiteral("Forecast");
    case 'O':
        return QStringLiteral("Outlook");
    case 'N':
        return QStringLiteral("Synopsis");
    default:
        return QString();
    }
}

QString actionWord(const QString& action)
{
    if (action == QLatin1String("CAN"))
        return QStringLiteral("cancelled");
    if (action == QLatin1String("EXP"))
        return QStringLiteral("expired");
    if (action == QLatin1String("UPG"))
        return QStringLiteral("upgraded");
    return QString();
}

// The VTEC string the alarm is about: the first that does not end its event,
// else the first.
std::optional<PVtec> mainVtec(const QString& text)
{
    const QList<PVtec> all = PVtec::parseAll(text);
    for (const PVtec& v : all) {
        if (!v.endsEvent())
            return v;
    }
    if (all.isEmpty())
        return std::nullopt;
    return all.first();
}

// "Tornado Warning" -> "Tornado warning": words after the first are spoken
// as ordinary words.
QString sentenceCase(const QString& text)
{
    if (text.isEmpty())
        return text;
    return text.left(1) + text.mid(1).toLower();
}

QString joinNames(const QStringList& names)
{
    if (names.size() <= 1)
        return names.value(0);
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" and ") +
           names.last();
}

// A county group whose names all end in one suffix is named by the base
// names and the plural: "Forrest, Lamar and Marion counties".
struct Suffix
{
    const char* suffix;
    const char* plural;
};
constexpr Suffix kSuffixes[] = {
    {" County", "counties"},
    {" Parish", "parishes"},
    {" Borough", "boroughs"},
};

} // namespace

QString AlarmWords::Words::body() const
{
    QStringList lines;
    if (!places.isEmpty())
        lines << places;
    if (!until.isEmpty())
        lines << QStringLiteral("until ") + until;
    return lines.join(QLatin1Char('\n'));
}

QString AlarmWords::Words::sentence() const
{
    QString s = spokenEvent;
    if (!spokenPlaces.isEmpty())
        s += QStringLiteral(" for ") + spokenPlaces;
    if (!spokenUntil.isEmpty())
        s += QStringLiteral(" until ") + spokenUntil;
    return s + QLatin1Char('.');
}

AlarmWords::AlarmWords(const ReferenceTables& tables, QHash<QString, QString> descriptions)
    : m_descriptions(std::move(descriptions))
{
    for (const StateCounties& state : tables.states()) {
        for (const County& county : state.counties)
            m_counties.insert(county.code, county.name);
    }
    for (const ZoneRow& row : tables.zones()) {
        bool ok = false;
        const int number = row.zone.trimmed().toInt(&ok);
        if (!ok)
            continue;
        const QString code = row.state.trimmed().toUpper() + QLatin1Char('Z') +
                             QStringLiteral("%1").arg(number, 3, 10, QLatin1Char('0'));
        m_zones.insert(code, row.name.trimmed());
    }
}

QString AlarmWords::eventName(const QString& phenomenon, QChar significance)
{
    const QString key = phenomenon + QLatin1Char('.') + significance;
    for (const Special& s : kSpecial) {
        if (key == QLatin1String(s.code))
            return QLatin1String(s.name);
    }
    const QString kind = significanceName(significance);
    if (kind.isEmpty())
        return QString();
    for (const Phenomenon& p : kPhenomena) {
        if (phenomenon == QLatin1String(p.code))
            return QLatin1String(p.name) + QLatin1Char(' ') + kind;
    }
    return QString();
}

bool AlarmWords::isCritical(const QString& phenomenon, QChar significance)
{
    if (significance != QLatin1Char('W'))
        return false;
    static const QStringList critical = {QStringLiteral("TO"), QStringLiteral("SV"),
                                         QStringLiteral("FF"), QStringLiteral("EW"),
                                         QStringLiteral("SQ")};
    return critical.contains(phenomenon);
}

QList<AlarmWords::Group> AlarmWords::groups(const QStringList& codes) const
{
    QList<Group> result;
    for (const QString& code : codes) {
        if (code.size() != 6)
            continue;
        const QString state = code.left(2);
        const QChar kind = code.at(2);
        if (code.endsWith(QLatin1String("ALL")))
            continue; // a whole state is named by the state alone below
        const QHash<QString, QString>& table = kind == QLatin1Char('C') ? m_counties : m_zones;
        const QString name = table.value(code, code);
        auto same = [&](const Group& g) { return g.state == state && g.kind == kind; };
        auto it = std::find_if(result.begin(), result.end(), same);
        if (it == result.end())
            result.append({state, kind, {name}});
        else if (!it->names.contains(name))
            it->names << name;
    }
    return result;
}

QString AlarmWords::groupText(const Group& group, int shown, bool spoken)
{
    QStringList names = group.names.mid(0, shown);
    QString noun;
    if (group.kind == QLatin1Char('C')) {
        for (const Suffix& s : kSuffixes) {
            const QLatin1String suffix(s.suffix);
            const bool all = std::all_of(names.cbegin(), names.cend(), [&](const QString& n) {
                return n.endsWith(suffix, Qt::CaseInsensitive);
            });
            if (!all)
                continue;
            for (QString& n : names)
                n.chop(suffix.size());
            noun = names.size() == 1 ? suffix.mid(1) : QLatin1String(s.plural);
            break;
        }
    }
    QString text = joinNames(names);
    if (!noun.isEmpty())
        text += QLatin1Char(' ') + noun;
    if (!spoken)
        text += QStringLiteral(", ") + group.state;
    return text;
}

QString AlarmWords::placeNames(const QStringList& codes, bool spoken) const
{
    QStringList parts;
    int budget = MaxNames;
    int left = 0;
    for (const Group& g : groups(codes)) {
        const int shown = std::min<int>(budget, g.names.size());
        if (shown > 0)
            parts << groupText(g, shown, spoken);
        left += g.names.size() - shown;
        budget -= shown;
    }
    for (const QString& code : codes) {
        if (code.endsWith(QLatin1String("ALL")) && !parts.contains(code.left(2)))
            parts << (spoken ? QStringLiteral("all of ") + code.left(2) : code.left(2));
    }
    QString text = parts.join(spoken ? QStringLiteral(" and ") : QStringLiteral("; "));
    if (left > 0) {
        text += spoken ? QStringLiteral(" and %1 more areas").arg(left)
                       : QStringLiteral(" (+%1 more)").arg(left);
    }
    return text;
}

QString AlarmWords::untilText(const QDateTime& end, const QDateTime& now, const QTimeZone& zone,
                              bool spoken)
{
    if (!end.isValid())
        return QString();
    const QDateTime local = end.toTimeZone(zone);
    const QLocale c = QLocale::c();
    QString text = c.toString(local.time(), QStringLiteral("h:mm AP"));
    if (!spoken) {
        const QString abbreviation = zone.abbreviation(local);
        if (!abbreviation.isEmpty())
            text += QLatin1Char(' ') + abbreviation;
    }
    if (now.isValid() && now.toTimeZone(zone).date() != local.date())
        text += QLatin1Char(' ') + c.dayName(local.date().dayOfWeek(), QLocale::LongFormat);
    return text;
}

AlarmWords::Words AlarmWords::describe(const QString& fileName, const QString& text,
                                       const QDateTime& now, const QTimeZone& zone) const
{
    Words w;
    QString plain = text;
    plain.replace(QStringLiteral("\r\r\n"), QStringLiteral("\n"));
    const QStringList lines = TextFile::splitLines(plain);

    const std::optional<PVtec> vtec = mainVtec(plain);
    if (vtec)
        w.event = eventName(vtec->phenomenon(), vtec->significance());
    const QString base = fileName.section(QLatin1Char('.'), 0, 0).toUpper();
    const QString description = m_descriptions.value(base.left(3));
    if (w.event.isEmpty()) {
        w.event = description.isEmpty() ? base : base + QStringLiteral(": ") + description;
        w.spokenEvent = sentenceCase(description.isEmpty() ? base : description);
    } else {
        w.fromVtec = true;
        w.spokenEvent = sentenceCase(w.event);
        const QString action = vtec ? actionWord(vtec->action()) : QString();
        if (!action.isEmpty()) {
            w.event += QLatin1Char(' ') + action;
            w.spokenEvent += QLatin1Char(' ') + action;
        }
    }
    if (vtec && !vtec->endsEvent()) {
        w.critical = isCritical(vtec->phenomenon(), vtec->significance());
        // The day is named when the event ends on another day than it began
        // (or than today, for an event still to begin).
        const QDateTime since = vtec->begin().isValid() && (!now.isValid() || vtec->begin() < now)
                                    ? vtec->begin()
                                    : now;
        w.until = untilText(vtec->end(), since, zone, false);
        w.spokenUntil = untilText(vtec->end(), since, zone, true);
    }
    if (const std::optional<UgcSegments> ugc = UgcSegments::parse(lines)) {
        const QStringList codes = ugc->allCodes();
        w.places = placeNames(codes, false);
        w.spokenPlaces = placeNames(codes, true);
    }
    return w;
}

std::optional<QString> AlarmWords::headline(const QString& text, const QDateTime& now,
                                            const QTimeZone& zone) const
{
    const Words w = describe(QString(), text, now, zone);
    if (!w.fromVtec)
        return std::nullopt;
    QString line = w.event;
    if (!w.places.isEmpty())
        line += QStringLiteral(": ") + w.places;
    if (!w.until.isEmpty())
        line += QStringLiteral(" until ") + w.until;
    return line;
}

QHash<QString, QString> AlarmWords::parseProductList(const QString& text)
{
    static const QRegularExpression line(QStringLiteral("^([A-Z0-9]{3})\\s{2,}(\\S.*)$"));
    QHash<QString, QString> result;
    for (const QString& l : TextFile::splitLines(text)) {
        const QRegularExpressionMatch m = line.match(l);
        if (m.hasMatch())
            result.insert(m.captured(1), m.captured(2).trimmed());
    }
    return result;
}

QHash<QString, QString> AlarmWords::readProductList(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return parseProductList(QString::fromUtf8(BoundedRead::read(file, MaxListBytes)));
}
