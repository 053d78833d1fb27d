#include "images/ImageMenuFile.h"

#include "core/StatusLine.h"
#include "platform/TextFile.h"

namespace {
struct GroupText
{
    const char* header;
    const char* caption;
    const char* placeholder;
};

constexpr GroupText kGroups[ImageMenuFile::GroupCount] = {
    {"[Composite]", "&Composite", "Composite"},
    {"[GOES]", "&GOES", "GOES"},
    {"[Lightning]", "&Lightning", "Lightning"},
    {"[Radar]", "&Radar", "Radar"},
    {"[Hurricane]", "&Hurricane", "Hurricane"},
    {"[NHC]", "&NHC", "0"},
    {"[Model]", "M&odel", "Model"},
    {"[Forecast]", "&Forecast", "Fore"},
    {"[Misc]", "&Misc", "Misc"},
};
} // namespace

ImageMenuFile::ImageMenuFile()
{
    reset();
}

void ImageMenuFile::reset()
{
    for (int g = 0; g < GroupCount; ++g) {
        for (Slot& slot : m_groups[g])
            slot = Slot();
        Slot& first = m_groups[g][0];
        first.caption = placeholder(static_cast<Group>(g));
        first.visible = true;
    }
    m_current = Composite;
    m_counter = 0;
    m_error.reset();
}

QString ImageMenuFile::header(Group g)
{
    return QLatin1String(kGroups[g].header);
}

QString ImageMenuFile::menuCaption(Group g)
{
    return QLatin1String(kGroups[g].caption);
}

QString ImageMenuFile::placeholder(Group g)
{
    return QLatin1String(kGroups[g].placeholder);
}

bool ImageMenuFile::isLoopGroup(Group g)
{
    return g == Composite || g == GOES || g == Lightning || g == Radar || g == NHC;
}

void ImageMenuFile::read(const QString& path, StatusLine* status)
{
    reset();
    QStringList lines;
    try {
        lines = TextFile::readLines(path);
    } catch (const RuntimeError& e) {
        m_error = e;
        return;
    }
    for (const QString& line : lines) {
        if (line.size() <= 3 || line.startsWith(QLatin1Char('#')))
            continue;
        if (line.contains(QLatin1String("[END]")))
            break;
        readLine(line, status);
        if (m_error)
            return;
    }
}

void ImageMenuFile::readLine(const QString& line, StatusLine* status)
{
    if (line.startsWith(QLatin1Char('['))) {
        for (int g = 0; g < GroupCount; ++g) {
            if (line == header(static_cast<Group>(g)))
                m_current = static_cast<Group>(g);
        }
        m_counter = 0;
        return;
    }
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma < 0) {
        m_error = RuntimeError(ErrorNumber::InvalidCall, line);
        return;
    }
    if (m_counter >= SlotsPerGroup) {
        if (status)
            status->setText(TooManyItems);
        return;
    }
    Slot& slot = m_groups[m_current][m_counter];
    slot.caption = line.left(comma);
    slot.tag = line.mid(comma + 1);
    slot.visible = true;
    ++m_counter;
}
