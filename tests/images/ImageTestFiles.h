#pragma once

// Test pictures made on the fly: JPG through Qt, GIF through the small
// encoder below (Qt reads GIF but does not write it).

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QString>

namespace imagetest {

// A GIF89a file of the picture (at most 256 colours). The LZW stream sends
// every pixel as a literal code of 9 bits and restarts the table before it
// would grow, which every decoder reads.
inline QByteArray gifBytes(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_Indexed8);
    QByteArray out("GIF89a");
    auto word = [&out](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    word(image.width());
    word(image.height());
    out.append(char(0xF7)); // global colour table of 256 entries
    out.append(char(0));
    out.append(char(0));
    QList<QRgb> table = image.colorTable();
    table.resize(256);
    for (const QRgb c : table) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(',');
    word(0);
    word(0);
    word(image.width());
    word(image.height());
    out.append(char(0));
    out.append(char(8)); // minimum code size

    QByteArray data;
    quint32 bits = 0;
    int count = 0;
    auto emitCode = [&](int code) {
        bits |= quint32(code) << count;
        count += 9;
        while (count >= 8) {
            data.append(char(bits & 0xff));
            bits >>= 8;
            count -= 8;
        }
    };
    const int clear = 256, end = 257;
    int sinceClear = 0;
    emitCode(clear);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* line = image.constScanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            if (sinceClear == 250) {
                emitCode(clear);
                sinceClear = 0;
            }
            emitCode(line[x]);
            ++sinceClear;
        }
    }
    emitCode(end);
    if (count > 0)
        data.append(char(bits & 0xff));
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const QByteArray block = data.mid(at, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append(char(0));
    out.append(';');
    return out;
}

// A picture with some structure: a gradient, a grid and a disc whose place
// depends on the seed, so that frames differ.
inline QImage picture(const QSize& size, int seed = 0)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient g(0, 0, size.width(), size.height());
    g.setColorAt(0, QColor(20, 40, 90));
    g.setColorAt(1, QColor(10, 120 + (seed * 13) % 100, 60));
    p.fillRect(image.rect(), g);
    p.setPen(QColor(200, 200, 200));
    for (int x = 0; x < size.width(); x += 50)
        p.drawLine(x, 0, x, size.height());
    for (int y = 0; y < size.height(); y += 50)
        p.drawLine(0, y, size.width(), y);
    p.setBrush(QColor(230, 40 + (seed * 37) % 200, 40));
    const int r = std::max(4, size.height() / 6);
    p.drawEllipse(QPoint((seed * 71) % std::max(1, size.width()), size.height() / 2), r, r);
    p.end();
    return image;
}

inline QByteArray jpgBytes(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 85);
    return bytes;
}

// A GIF of 35 bytes whose logical screen is width x height: one pixel of
// data that a decoder spreads over the whole screen.
inline QByteArray gifScreenBomb(int width, int height)
{
    QByteArray out("GIF89a");
    auto word = [&out](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    word(width);
    word(height);
    out.append("\x80\x00\x00", 3);             // global colour table of 2 entries
    out.append("\x00\x00\x00\xff\xff\xff", 6); // black, white
    out.append(',');
    word(0);
    word(0);
    word(1);
    word(1);
    out.append("\x00\x02\x02\x44\x01\x00;", 7); // clear, 0, end in 3-bit codes
    return out;
}

// A small JPG whose frame header declares width x height.
inline QByteArray jpgDeclaring(int width, int height)
{
    QByteArray bytes = jpgBytes(picture(QSize(8, 8)));
    const qsizetype sof = bytes.indexOf("\xff\xc0");
    if (sof < 0)
        return {};
    bytes[sof + 5] = char(height >> 8);
    bytes[sof + 6] = char(height & 0xff);
    bytes[sof + 7] = char(width >> 8);
    bytes[sof + 8] = char(width & 0xff);
    return bytes;
}

// Writes directory + name as a GIF or JPG picture, chosen by the extension.
inline QString writeImage(const QString& directory, const QString& name,
                          const QSize& size = QSize(40, 30), int seed = 0)
{
    QDir().mkpath(directory);
    const QString path = QDir(directory).filePath(name);
    const QImage image = picture(size, seed);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(name.endsWith(QLatin1String("GIF"), Qt::CaseInsensitive) ? gifBytes(image)
                                                                            : jpgBytes(image));
    return path;
}

inline QString writeBytes(const QString& directory, const QString& name, const QByteArray& bytes)
{
    QDir().mkpath(directory);
    const QString path = QDir(directory).filePath(name);
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    return path;
}

// Frame names NAME-MMddHHmm.EXT for count consecutive minutes of 5 December.
inline QStringList stampedNames(const QString& name, int count, const QString& extension)
{
    QStringList names;
    for (int i = 0; i < count; ++i)
        names << QStringLiteral("%1-1205%2%3.%4")
                     .arg(name)
                     .arg(10 + i / 60, 2, 10, QLatin1Char('0'))
                     .arg(i % 60, 2, 10, QLatin1Char('0'))
                     .arg(extension);
    return names;
}

} // namespace imagetest
