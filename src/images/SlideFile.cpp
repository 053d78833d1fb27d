#include "images/SlideFile.h"

#include "platform/FileLister.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

QString SlideFile::find(const QString& programDir)
{
    const QStringList found = FileLister::list(programDir, FileName);
    return found.isEmpty() ? QString() : programDir + found.first();
}

QStringList SlideFile::read(const QString& path, bool* overflow)
{
    if (overflow)
        *overflow = false;
    if (path.isEmpty())
        return {};
    try {
        return parse(TextFile::readLines(path), overflow);
    } catch (const RuntimeError&) {
        return {}; // unreadable: no slides, which the show reports
    }
}

QStringList SlideFile::parse(const QStringList& lines, bool* overflow)
{
    QStringList slides;
    if (overflow)
        *overflow = false;
    for (const QString& line : lines) {
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        if (slides.size() >= MaxSlides) {
            if (overflow)
                *overflow = true;
            break;
        }
        slides << line;
    }
    return slides;
}

SlideFile::Slide SlideFile::classify(const QString& line)
{
    Slide slide;
    const QString extension = line.mid(9, 3);
    if (extension == QLatin1String("GIF") || extension == QLatin1String("JPG")) {
        slide.kind = line.endsWith(QLatin1Char('!')) ? Kind::ImageSingle : Kind::ImageLoop;
        slide.name = line.left(8);
        return slide;
    }
    const qsizetype bang = line.indexOf(QLatin1Char('!'));
    if (bang < 0) {
        slide.name = line.left(8);
        return slide;
    }
    slide.kind = Kind::TextZone;
    slide.name = line.left(bang);
    slide.zoneCode = line.mid(bang + 1, 6);
    return slide;
}
