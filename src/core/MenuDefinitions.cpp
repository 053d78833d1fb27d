#include "core/MenuDefinitions.h"

#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/ValueConversion.h"

#include <QFileInfo>
#include <iterator>

namespace {

bool isCommentOrEmpty(const QString& line)
{
    return line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'));
}

QString lineDetail(const QString& path, int lineNumber, const QString& what)
{
    return QStringLiteral("%1 line %2: %3")
        .arg(QFileInfo(path).fileName())
        .arg(lineNumber)
        .arg(what);
}

// A number from the file; a failed conversion names the file, line and text.
template <typename Convert>
auto convertAt(const QString& path, int lineNumber, const QString& text, Convert convert)
{
    try {
        return convert(text);
    } catch (const RuntimeError& error) {
        throw RuntimeError(error.number(),
                           lineDetail(path, lineNumber, QStringLiteral("\"%1\"").arg(text)));
    }
}

} // namespace

void MenuDefinitions::loadButtons(const QString& path)
{
    const QStringList lines = TextFile::readLines(path);
    m_buttons.clear();
    for (const QString& line : lines) {
        if (m_buttons.size() >= ButtonCount)
            break;
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        // The caption is a fixed-width field; the request text follows it.
        m_buttons.append({line.left(CaptionWidth), line.mid(CaptionWidth).trimmed()});
    }
}

void MenuDefinitions::setButtonCaption(int index, const QString& caption)
{
    if (index >= 0 && index < m_buttons.size())
        m_buttons[index].caption = caption;
}

const QList<MenuEntry>& MenuDefinitions::section(int section) const
{
    static const QList<MenuEntry> none;
    if (section < 0 || section >= SectionCount)
        return none;
    return m_sections[section];
}

void MenuDefinitions::resetMainMenu()
{
    for (QList<MenuEntry>& entries : m_sections)
        entries.clear();
    m_menuItems.clear();
    m_offices.clear();
    m_colourScheme.reset();
    m_fontSize.reset();
    m_stateFilters.clear();
    m_restrictedAudioMinutes = 0;
    m_tooManyMenuItems = false;
}

std::optional<int> MenuDefinitions::sectionOf(const QString& header)
{
    static const char* const names[] = {
        "[Forecasts]",
        "[Warnings]",
        "[Observations]",
        "[Summaries]",
        "[River]",
        "[AG/Hydro]",
        "[Misc]",
        "[Tropical]",
        "[Offices]",
        "[Color]",
        "[FontSize]",
        "[Automatic State Filter]",
        "[NUMBER OF MINUTES TO PLAY RESTRICTED AUDIO ALARMS]",
        "[INCLUDE SVS IN THE WAR ALARM : YES OR NO]",
        "[FLOOD WARNINGS USE C (FIPS) CODE OR Z (UGC) CODE]",
    };
    for (int i = 0; i < int(std::size(names)); ++i) {
        if (header == QLatin1String(names[i]))
            return i;
    }
    return std::nullopt;
}

void MenuDefinitions::loadMainMenu(const QString& path)
{
    const QStringList lines = TextFile::readLines(path);
    resetMainMenu();
    Cursor cursor;
    cursor.path = path;
    for (const QString& line : lines) {
        ++cursor.lineNumber;
        if (isCommentOrEmpty(line))
            continue;
        if (line.contains(QLatin1String("[END]")))
            break;
        readMainMenuLine(line, cursor);
    }
}

void MenuDefinitions::readMainMenuLine(const QString& line, Cursor& cursor)
{
    if (line.startsWith(QLatin1Char('['))) {
        // An unknown header (a misspelt one, or one with a trailing blank)
        // keeps the current section but still starts it again at index 0.
        cursor.itemIndex = 0;
        if (const auto number = sectionOf(line))
            cursor.section = *number;
        return;
    }
    if (cursor.section < SectionCount)
        addItem(line, cursor);
    else if (cursor.section == Offices)
        addOffice(line, cursor);
    else
        readOption(line, cursor);
}

void MenuDefinitions::addItem(const QString& line, Cursor& cursor)
{
    const QStringList fields = line.split(QLatin1Char(','));
    if (fields.size() < 3)
        throw RuntimeError(
            ErrorNumber::SubscriptOutOfRange,
            lineDetail(cursor.path, cursor.lineNumber,
                       QStringLiteral("caption, categories and retention expected")));
    if (m_menuItems.size() >= MaxMenuItems)
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange,
                           lineDetail(cursor.path, cursor.lineNumber,
                                      QStringLiteral("more than %1 menu items").arg(MaxMenuItems)));
    const qint16 retention =
        convertAt(cursor.path, cursor.lineNumber, fields.at(2), ValueConversion::strictInt16);
    m_menuItems.append({fields.at(1), fields.at(0), retention});

    // Items beyond the menu's entries stay in the item table but appear in no menu.
    QList<MenuEntry>& entries = m_sections[cursor.section];
    const MenuEntry entry{fields.at(0), fields.at(1)};
    if (cursor.itemIndex >= ItemsPerSection)
        m_tooManyMenuItems = true;
    else if (cursor.itemIndex < entries.size())
        entries[cursor.itemIndex] = entry;
    else
        entries.append(entry);
    ++cursor.itemIndex;
}

void MenuDefinitions::addOffice(const QString& line, const Cursor& cursor)
{
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma < 0)
        throw RuntimeError(ErrorNumber::InvalidCall,
                           lineDetail(cursor.path, cursor.lineNumber,
                                      QStringLiteral("office and count expected")));
    if (m_offices.size() >= MaxOffices)
        throw RuntimeError(ErrorNumber::SubscriptOutOfRange,
                           lineDetail(cursor.path, cursor.lineNumber,
                                      QStringLiteral("more than %1 offices").arg(MaxOffices)));
    m_offices.append(
        {line.left(comma), convertAt(cursor.path, cursor.lineNumber, line.mid(comma + 1),
                                     ValueConversion::checkedInt16)});
}

void MenuDefinitions::readOption(const QString& line, const Cursor& cursor)
{
    switch (cursor.section) {
    case Color: {
        const double value = ValueConversion::lenientNumber(line);
        if (value == 0.0 || value == 1.0 || value == 2.0)
            m_colourScheme = static_cast<int>(value);
        break;
    }
    case FontSize:
        m_fontSize = ValueConversion::lenientInt16(line);
        break;
    case AutomaticStateFilter:
        m_stateFilters.append(line);
        break;
    case RestrictedAudio:
        m_restrictedAudioMinutes =
            convertAt(cursor.path, cursor.lineNumber, line, ValueConversion::checkedByte);
        break;
    default: // the SVS and flood code sections are read and ignored
        break;
    }
}

void MenuDefinitions::loadQuick(const QString& path)
{
    const QStringList lines = TextFile::readLines(path);
    m_quick.clear();
    for (const QString& line : lines) {
        if (m_quick.size() >= QuickCount)
            break;
        if (line.startsWith(QLatin1Char('#')))
            continue;
        const qsizetype star = line.indexOf(QLatin1Char('*'));
        if (star < 0)
            m_quick.append({line, line});
        else
            m_quick.append({line.mid(star + 1), line.left(star)});
    }
}
