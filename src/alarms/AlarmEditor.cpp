#include "alarms/AlarmEditor.h"

#include "alarms/AlarmDispatcher.h"
#include "core/AlarmFile.h"
#include "core/PointZone.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"
#include "platform/RegExpMatcher.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"

#include <QFile>
#include <algorithm>

namespace {

const QString SetupTitle = QStringLiteral("Alarm Setup");
const QString FileTitle = QStringLiteral("Alarm File");

// Categories whose warnings name counties rather than zones.
const QStringList FipsCategories =
    QStringLiteral("WOU WCN SVS CEM WAR FLS FFS TOR SVR FFW SLS FLW").split(QLatin1Char(' '));

QString yesNo(int value)
{
    return value != 0 ? QStringLiteral("Yes") : QStringLiteral(" No");
}

bool sameDefinition(AlarmDefinition a, AlarmDefinition b)
{
    a.state.clear();
    b.state.clear();
    return a == b;
}

} // namespace

const QStringList AlarmEditor::StateCodes =
    QStringLiteral("AL AK AZ AR CA CO CT DE DC FL GA HI ID IL IN IA KS KY LA ME MD MA MI MN MS MO "
                   "MT NE NV NH NJ NM NY NC ND OH OK OR PA PR RI SC SD TN TX UT VT VA WA WV WI WY")
        .split(QLatin1Char(' '));

AlarmEditor::AlarmEditor(const Context& context) : m_c(context)
{
    for (int i = 0; i < FileCount; ++i)
        m_captions << QStringLiteral("File %1").arg(i + 1);
    m_fileNum = std::clamp<int>(m_c.settings.AlarmFileNum, 0, FileCount - 1);
}

// ---------------------------------------------------------------- lists

QStringList AlarmEditor::alertItems()
{
    QStringList items{QStringLiteral("None")};
    for (int i = 1; i <= 9; ++i)
        items << QStringLiteral("Alert%1").arg(i);
    items << QStringLiteral("BEEP");
    return items;
}

QList<AlarmEditor::Choice> AlarmEditor::emailItems() const
{
    QList<Choice> items{{QStringLiteral("None"), -1}, {QStringLiteral("Personal"), 0}};
    for (int i = 0; i < m_c.emailGroups.size(); ++i)
        items << Choice{m_c.emailGroups.at(i), i + 1};
    return items;
}

QList<AlarmEditor::Choice> AlarmEditor::pagerItems() const
{
    // The pager finds a group by its number, so the item stands for it.
    QList<Choice> items{{QStringLiteral("None"), -1}, {QStringLiteral("Personal"), 0}};
    for (int group : m_c.pagerGroups)
        items << Choice{QStringLiteral("Group %1").arg(group), group};
    return items;
}

QStringList AlarmEditor::exeItems() const
{
    QStringList items{QStringLiteral("-")};
    for (const AlarmFile::ExeProgram& p : m_c.alarms.programs())
        items << p.description;
    return items;
}

QList<AlarmEditor::Choice> AlarmEditor::countyItems(int state, ZoneMode mode) const
{
    QList<Choice> items;
    const QString code = StateCodes.value(state);
    if (code.isEmpty())
        return items;
    if (mode == ZoneMode::FIPS) {
        for (const StateCounties& s : m_c.tables.states()) {
            if (s.abbreviation != code)
                continue;
            for (const County& county : s.counties) {
                if (county.name.trimmed().isEmpty())
                    break;
                items << Choice{county.name, county.code};
            }
        }
    } else if (mode == ZoneMode::UGC) {
        for (const ZoneRow& row : m_c.tables.zones()) {
            bool number = false;
            const int zone = row.zone.trimmed().toInt(&number);
            if (row.state == code && number)
                items << Choice{row.name, zone};
        }
    }
    return items;
}

AlarmEditor::ZoneMode AlarmEditor::zoneModeFor(const QString& pattern) const
{
    const QString category = pattern.left(3).toUpper();
    if (category.size() < 3)
        return ZoneMode::None;
    if (m_c.tables.countyProducts().contains(category))
        return ZoneMode::UGC;
    if (FipsCategories.contains(category))
        return ZoneMode::FIPS;
    return ZoneMode::None;
}

// ---------------------------------------------------------------- fields

QString AlarmEditor::pointProblem() const
{
    return PointZone::problem(m_c.settings);
}

QString AlarmEditor::zoneOf(const Fields& f) const
{
    if (f.point)
        return PointZone::Keyword;
    if (f.mode == ZoneMode::None || f.state < 0 || f.county < 0)
        return QString();
    const QList<Choice> items = countyItems(f.state, f.mode);
    if (f.county >= items.size())
        return QString();
    if (f.mode == ZoneMode::FIPS)
        return items.at(f.county).value.toString();
    const QString zone =
        StateCodes.at(f.state) + QLatin1Char('Z') +
        QStringLiteral("%1").arg(items.at(f.county).value.toInt(), 3, 10, QLatin1Char('0'));
    return f.full ? QLatin1Char('!') + zone : zone;
}

void AlarmEditor::message(const QString& text)
{
    m_c.prompter.message(text, Title, IPrompter::Icon::Information);
}

bool AlarmEditor::patternIsValid(const QString& pattern)
{
    // A pattern the matcher cannot use would report itself on every product.
    RegExpMatcher matcher;
    matcher.setExpression(AlarmDispatcher::identifierPattern(pattern));
    try {
        matcher.Match(QString());
    } catch (const RuntimeError&) {
        message(QStringLiteral("Alarm ") + pattern + QStringLiteral(" is invalid."));
        return false;
    }
    return true;
}

void AlarmEditor::fillDefinition(AlarmDefinition& d, const Fields& f, const QString& pattern) const
{
    d.pattern = pattern;
    d.zone = zoneOf(f);
    d.print = f.print ? 1 : 0;
    d.dayOnly = f.time ? 1 : 0;
    if (pattern.startsWith(QLatin1String("GPH")))
        return; // graphics are printed only; the choices stay "none"
    d.list = f.list ? 1 : 0;
    d.compress = f.compress ? 1 : 0;
    d.scroll = f.scroll ? 1 : 0;
    d.audio = static_cast<qint16>(std::max(f.alert, 0) - 1);
    const QList<Choice> email = emailItems();
    const QList<Choice> pager = pagerItems();
    d.email = static_cast<qint16>(email.value(f.email, email.first()).value.toInt());
    d.pager = static_cast<qint16>(pager.value(f.pager, pager.first()).value.toInt());
    d.log = f.log ? 1 : 0;
    d.display = f.screen ? 1 : 0;
    d.exe = static_cast<quint8>(std::clamp(f.exe, 0, 255));
    d.custom = f.archive ? 1 : 0;
}

bool AlarmEditor::add(Fields& fields)
{
    // Blanks alone are no pattern: an empty one would end the matching of
    // every definition after it.
    QString pattern = fields.header.trimmed();
    if (pattern.isEmpty()) {
        message(QStringLiteral("Enter a product header."));
        return false;
    }
    if (pattern.size() < 4) {
        message(QStringLiteral("Enter a full product header."));
        return false;
    }
    if (pattern.size() > MaxPatternLength) {
        message(QStringLiteral("The product header is too long: at most %1 characters.")
                    .arg(MaxPatternLength));
        return false;
    }
    pattern = pattern.toUpper();
    if (pattern != QLatin1String("METAR") && pattern != QLatin1String("SPECI")) {
        pattern.replace(QLatin1Char('.'), QLatin1Char('?'));
        pattern.replace(QLatin1Char(' '), QLatin1Char('?'));
    }
    if (pattern.startsWith(QLatin1String("WAR")) &&
        (pattern.contains(QLatin1Char('?')) || pattern.size() != 6)) {
        message(QStringLiteral("The WAR shortcut requires the full NWS office name,\n"
                               "for example WARGRR"));
        fields.header.clear();
        return false;
    }
    if (!patternIsValid(pattern))
        return false;
    if (m_c.alarms.definitions().size() >= AlarmFile::MaxEditable) {
        message(QStringLiteral("No room for another alarm: the most is %1.")
                    .arg(AlarmFile::MaxEditable));
        return false;
    }
    AlarmDefinition d;
    fillDefinition(d, fields, pattern);
    m_c.alarms.definitions().append(d);
    m_c.alarms.refreshObservationFlags();
    const QString pointProblem = fields.point ? this->pointProblem() : QString();
    fields = cleared();
    if (!pointProblem.isEmpty())
        message(QStringLiteral("Added. ") + pointProblem); // kept: it works once a location is set
    return true;
}

int AlarmEditor::choicePosition(const QList<Choice>& items, int value) const
{
    for (int i = 0; i < items.size(); ++i) {
        if (items.at(i).value.toInt() == value)
            return i;
    }
    return 0;
}

AlarmEditor::Fields AlarmEditor::copy(int row) const
{
    Fields f;
    if (row < 0 || row >= rowCount())
        return f;
    const AlarmDefinition& d = m_c.alarms.definitions().at(row);
    f.header = d.pattern;
    f.print = d.print != 0;
    f.screen = d.display != 0;
    f.scroll = d.scroll != 0;
    f.time = d.dayOnly != 0;
    f.log = d.log != 0;
    f.list = d.list != 0;
    f.compress = d.compress != 0;
    f.archive = d.custom != 0;
    f.alert = d.audio >= -1 && d.audio <= 9 ? d.audio + 1 : 0;
    f.email = choicePosition(emailItems(), d.email);
    f.pager = choicePosition(pagerItems(), d.pager);
    f.exe = d.exe <= m_c.alarms.programs().size() ? d.exe : 0;

    f.mode = zoneModeFor(d.pattern);
    f.point = PointZone::isPointZone(d.zone);
    QString zone = d.zone.trimmed().toUpper();
    f.full = zone.startsWith(QLatin1Char('!'));
    if (f.full)
        zone.remove(0, 1);
    if (zone.size() < 6)
        return f;
    if (zone.at(2) == QLatin1Char('C'))
        f.mode = ZoneMode::FIPS;
    else if (zone.at(2) == QLatin1Char('Z'))
        f.mode = ZoneMode::UGC;
    else
        return f;
    f.full = f.full && f.mode == ZoneMode::UGC;
    f.state = static_cast<int>(StateCodes.indexOf(zone.left(2)));
    const QList<Choice> items = countyItems(f.state, f.mode);
    for (int i = 0; i < items.size(); ++i) {
        const QVariant& v = items.at(i).value;
        if (f.mode == ZoneMode::FIPS ? v.toString() == zone : v.toInt() == zone.mid(3).toInt()) {
            f.county = i;
            break;
        }
    }
    return f;
}

AlarmEditor::Fields AlarmEditor::edit(int row)
{
    const Fields f = copy(row);
    remove(row);
    return f;
}

void AlarmEditor::remove(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    m_c.alarms.definitions().removeAt(row);
    m_c.alarms.refreshObservationFlags();
}

bool AlarmEditor::confirmOtherCommand(const Fields& fields)
{
    if (fields.header.isEmpty())
        return true;
    return m_c.prompter.question(
               QStringLiteral("Data is in the alarm setup - other commands will cause you\n"
                              "to lose this alarm. Is that ok?"),
               SetupTitle, IPrompter::Buttons::OkCancel) == IPrompter::Answer::Ok;
}

bool AlarmEditor::confirmExit(const Fields& fields)
{
    if (fields.header.isEmpty())
        return true;
    return m_c.prompter.question(QStringLiteral("Data is in the alarm setup - exiting will lose "
                                                "this alarm. Is that ok?"),
                                 SetupTitle, IPrompter::Buttons::OkCancel) == IPrompter::Answer::Ok;
}

// ---------------------------------------------------------------- grid

QString AlarmEditor::gridHeading()
{
    return QStringLiteral("PRODUCT  |Zone   |Prnt|Dis|Scr|Audio |E-mail  |Pager   |EXE|Time|Log|"
                          "Lst|Cmp|Cus");
}

int AlarmEditor::rowCount() const
{
    return static_cast<int>(m_c.alarms.definitions().size());
}

QString AlarmEditor::choiceText(const QList<Choice>& items, int value) const
{
    for (const Choice& c : items) {
        if (c.value.toInt() == value)
            return c.text;
    }
    return QString::number(value); // a choice no longer offered
}

QStringList AlarmEditor::gridRow(int row) const
{
    if (row < 0 || row >= rowCount())
        return {};
    const AlarmDefinition& d = m_c.alarms.definitions().at(row);
    const QStringList alerts = alertItems();
    return {d.pattern,
            d.zone,
            yesNo(d.print),
            yesNo(d.display),
            yesNo(d.scroll),
            alerts.value(d.audio + 1, QString::number(d.audio)),
            choiceText(emailItems(), d.email),
            choiceText(pagerItems(), d.pager),
            QLatin1Char(' ') + QString::number(d.exe),
            d.dayOnly != 0 ? QStringLiteral("Day") : QStringLiteral("All"),
            yesNo(d.log),
            yesNo(d.list),
            yesNo(d.compress),
            yesNo(d.custom)};
}

void AlarmEditor::sortByProduct()
{
    auto& table = m_c.alarms.definitions();
    std::stable_sort(table.begin(), table.end(), [](const auto& a, const auto& b) {
        return a.pattern.compare(b.pattern, Qt::CaseInsensitive) < 0;
    });
}

void AlarmEditor::sortByZone()
{
    auto& table = m_c.alarms.definitions();
    std::stable_sort(table.begin(), table.end(), [](const auto& a, const auto& b) {
        return a.zone.compare(b.zone, Qt::CaseInsensitive) < 0;
    });
}

// ---------------------------------------------------------------- files

QString AlarmEditor::filePath(int index) const
{
    return m_c.programDir + AlarmFile::fileName(index);
}

void AlarmEditor::open()
{
    for (int i = 0; i < FileCount; ++i)
        m_captions[i] = Settings::storedText(m_c.store, Settings::Key::aFile, i);
    m_fileNum = std::clamp<int>(m_c.settings.AlarmFileNum, 0, FileCount - 1);
    reload();
}

void AlarmEditor::reload()
{
    const QList<AlarmDefinition> before = m_c.alarms.definitions();
    QList<bool> taken(before.size(), false);
    m_c.alarms.load(filePath(m_fileNum), AlarmFile::MaxEditable);
    for (AlarmDefinition& d : m_c.alarms.definitions()) {
        for (int i = 0; i < before.size(); ++i) {
            if (!taken.at(i) && sameDefinition(before.at(i), d)) {
                d.state = before.at(i).state;
                taken[i] = true;
                break;
            }
        }
    }
    const QStringList& skipped = m_c.alarms.problems();
    if (!skipped.isEmpty())
        m_c.prompter.message(QStringLiteral("These alarm definitions are not used:\n") +
                                 skipped.join(QLatin1Char('\n')) +
                                 QStringLiteral("\nThey stay in the file as they are."),
                             Title, IPrompter::Icon::Exclamation);
}

bool AlarmEditor::save()
{
    try {
        m_c.alarms.save(filePath(m_fileNum));
    } catch (const RuntimeError& error) {
        m_c.prompter.message(ErrorReport::format(QStringLiteral("ALARMBOX: Save"), error),
                             QString(), IPrompter::Icon::Exclamation);
        return false;
    }
    return true;
}

bool AlarmEditor::close()
{
    const bool saved = save();
    m_c.settings.storeNumber(m_c.store, Settings::Key::AlarmFileNum, m_fileNum);
    for (int i = 0; i < FileCount; ++i)
        m_c.settings.storeText(m_c.store, Settings::Key::aFile, m_captions.at(i), i);
    return saved;
}

bool AlarmEditor::switchFile(int index)
{
    if (index < 0 || index >= FileCount)
        return false;
    if (index == m_fileNum)
        return true;
    if (!save())
        return false;
    m_fileNum = index;
    m_c.settings.AlarmFileNum = static_cast<quint8>(index);
    m_c.settings.store(m_c.store, Settings::Key::AlarmFileNum);
    const QString path = filePath(index);
    if (!QFile::exists(path)) {
        const bool copyFirst =
            m_c.prompter.question(QStringLiteral("Copy File 1 into the new alarm file?"), FileTitle,
                                  IPrompter::Buttons::YesNo) == IPrompter::Answer::Yes;
        if (!copyFirst || !QFile::copy(filePath(0), path)) {
            QFile empty(path);
            if (empty.open(QIODevice::WriteOnly))
                empty.close();
        }
    }
    reload();
    return true;
}

bool AlarmEditor::renameFile(int index)
{
    if (index < 0 || index >= FileCount)
        return false;
    const std::optional<QString> name =
        m_c.prompter.input(QStringLiteral("Please enter a name for file %1").arg(index + 1),
                           FileTitle, m_captions.at(index));
    if (!name || name->trimmed().isEmpty())
        return false;
    m_captions[index] = name->trimmed();
    m_c.settings.storeText(m_c.store, Settings::Key::aFile, m_captions.at(index), index);
    return true;
}

// ---------------------------------------------------------------- day window

QString AlarmEditor::timeLabel() const
{
    return QStringLiteral("AM Cutoff: %1    PM Cutoff: %2").arg(cutoffAM()).arg(cutoffPM());
}

void AlarmEditor::storeCutoffs()
{
    m_c.settings.store(m_c.store, Settings::Key::CutoffAM);
    m_c.settings.store(m_c.store, Settings::Key::CutoffPM);
}
