#pragma once

#include <QString>
#include <QStringList>

// The slide show's list "slideshow.txt" in the program directory (name
// matched without regard to case): one slide per line, "#" comment lines and
// empty lines skipped, every other line kept unchanged, at most 101 slides.
//
// A slide whose characters 10 to 12 are "GIF" or "JPG" names an image
// (NAME.GIF): a loop of its newest frames, or with "!" as last character its
// newest single image. Any other slide names a text product by its first 8
// characters, or, as NAME!MIZ050, a product and the zone whose segment is shown.
class SlideFile
{
public:
    static constexpr int MaxSlides = 101;
    static inline const QString FileName = QStringLiteral("slideshow.txt");

    enum class Kind
    {
        Text,
        TextZone,
        ImageLoop,
        ImageSingle
    };

    struct Slide
    {
        Kind kind = Kind::Text;
        QString name;     // product or image name (the first 8 characters, or before "!")
        QString zoneCode; // TextZone: the 6 characters after "!"
    };

    // The file's path in the program directory; empty when there is none.
    static QString find(const QString& programDir);
    // Reads the slides; overflow is set when lines beyond the 101st were left out.
    static QStringList read(const QString& path, bool* overflow = nullptr);
    static QStringList parse(const QStringList& lines, bool* overflow = nullptr);
    static Slide classify(const QString& line);
};
