#include "blat/MailMessage.h"

#include <QLocale>
#include <QRandomGenerator>
#include <QStringDecoder>
#include <QTimeZone>

namespace {
constexpr int kMaxLine = 998;
constexpr int kFoldAt = 78; // RFC 5322 header line length
constexpr int kQpLine = 76;
constexpr int kSubjectTag = 9; // "Subject: "
// RFC 2047: a line with encoded words holds at most 76 characters. An
// encoded word is "=?utf-8?B?" + base64 + "?=", so the first line (after
// "Subject: ") carries 39 bytes of text in base64, a folded line (after its
// blank) 45.
constexpr int kFirstWordBytes = 39;
constexpr int kWordBytes = 45;

bool isAscii(const QByteArray& bytes)
{
    for (const char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

QByteArray hexByte(unsigned char c)
{
    return QByteArray(1, '=') + QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
}
} // namespace

QByteArray MailMessage::dateText(const QDateTime& when)
{
    const QLocale c = QLocale::c();
    const int offset = when.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    const QString zone = QStringLiteral("%1%2%3")
                             .arg(offset < 0 ? QLatin1Char('-') : QLatin1Char('+'))
                             .arg(minutes / 60, 2, 10, QLatin1Char('0'))
                             .arg(minutes % 60, 2, 10, QLatin1Char('0'));
    return (c.toString(when, QStringLiteral("ddd, dd MMM yyyy hh:mm:ss ")) + zone).toLatin1();
}

QByteArray MailMessage::crlfLines(const QByteArray& text)
{
    QByteArray out;
    out.reserve(text.size() + text.size() / 40 + 2);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (c == '\r') {
            if (i + 1 < text.size() && text.at(i + 1) == '\n')
                ++i;
            out += "\r\n";
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    if (!out.endsWith("\r\n"))
        out += "\r\n";
    return out;
}

QByteArray MailMessage::charsetOf(const QByteArray& text)
{
    if (isAscii(text))
        return "us-ascii";
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(text);
    Q_UNUSED(decoded)
    return utf8.hasError() ? QByteArray("iso-8859-1") : QByteArray("utf-8");
}

bool MailMessage::fitsSevenBit(const QByteArray& crlfText)
{
    if (!isAscii(crlfText) || crlfText.contains('\0'))
        return false;
    for (const QByteArray& line : crlfText.split('\n')) {
        if (line.size() > kMaxLine + 1) // + the CR before the LF
            return false;
    }
    return true;
}

QByteArray MailMessage::quotedPrintable(const QByteArray& crlfText)
{
    QByteArray out;
    QList<QByteArray> lines = crlfText.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        QByteArray encoded;
        int column = 0;
        for (qsizetype i = 0; i < line.size(); ++i) {
            const auto c = static_cast<unsigned char>(line.at(i));
            const bool last = i == line.size() - 1;
            QByteArray piece;
            if ((c == ' ' || c == '\t') && !last)
                piece = QByteArray(1, static_cast<char>(c));
            else if (c >= 33 && c <= 126 && c != '=')
                piece = QByteArray(1, static_cast<char>(c));
            else
                piece = hexByte(c);
            // Leave room for the soft break "=" at the end of an encoded line.
            if (column + piece.size() > kQpLine - 1) {
                encoded += "=\r\n";
                column = 0;
            }
            encoded += piece;
            column += static_cast<int>(piece.size());
        }
        out += encoded + "\r\n";
    }
    return out;
}

QList<QByteArray> MailMessage::blanksAndWords(const QByteArray& text)
{
    QList<QByteArray> pieces;
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        while (i < text.size() && text.at(i) == ' ')
            ++i;
        while (i < text.size() && text.at(i) != ' ')
            ++i;
        pieces << text.mid(start, i - start);
    }
    return pieces;
}

QByteArray MailMessage::foldedAscii(const QByteArray& text)
{
    // Folds before a word, so that every folded line holds a word and not
    // only blanks; the blanks before the word start the folded line.
    QByteArray out;
    int column = kSubjectTag;
    const QList<QByteArray> pieces = blanksAndWords(text);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QByteArray& piece = pieces.at(i);
        const bool hasWord = !piece.trimmed().isEmpty();
        if (i > 0 && hasWord && column + piece.size() > kFoldAt) {
            out += "\r\n";
            column = 0;
        }
        out += piece;
        column += static_cast<int>(piece.size());
    }
    return out;
}

bool MailMessage::foldsPlain(const QByteArray& text)
{
    const QList<QByteArray> pieces = blanksAndWords(text);
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        if (pieces.at(i).size() > kFoldAt - (i == 0 ? kSubjectTag : 0))
            return false;
    }
    return true;
}

QByteArray MailMessage::encodedWords(const QString& text)
{
    // Words go whole into an encoded word while they fit; a fold comes
    // between words (before or after their blanks). Only a word or a run of
    // blanks longer than an encoded word is split, never inside a character.
    QList<QByteArray> chunks;
    QByteArray chunk;
    const auto room = [&] {
        return (chunks.isEmpty() ? kFirstWordBytes : kWordBytes) - chunk.size();
    };
    const auto flush = [&] {
        if (!chunk.isEmpty())
            chunks << chunk;
        chunk.clear();
    };
    const auto addSplitting = [&](const QString& part) {
        for (qsizetype i = 0; i < part.size(); ++i) {
            const qsizetype length = part.at(i).isHighSurrogate() && i + 1 < part.size() ? 2 : 1;
            const QByteArray bytes = part.mid(i, length).toUtf8();
            if (bytes.size() > room())
                flush();
            chunk += bytes;
            i += length - 1;
        }
    };
    qsizetype i = 0;
    while (i < text.size()) {
        const qsizetype start = i;
        while (i < text.size() && text.at(i) != QLatin1Char(' '))
            ++i;
        const QString word = text.mid(start, i - start);
        const qsizetype blanksStart = i;
        while (i < text.size() && text.at(i) == QLatin1Char(' '))
            ++i;
        const QString blanks = text.mid(blanksStart, i - blanksStart);
        const QByteArray wordBytes = word.toUtf8();
        if (wordBytes.size() + blanks.size() <= room()) {
            chunk += wordBytes + blanks.toLatin1();
            continue;
        }
        if (wordBytes.size() > room())
            flush();
        if (wordBytes.size() <= room())
            chunk += wordBytes;
        else
            addSplitting(word);
        addSplitting(blanks);
    }
    flush();
    QByteArray out;
    for (const QByteArray& bytes : chunks) {
        if (!out.isEmpty())
            out += "\r\n ";
        out += "=?utf-8?B?" + bytes.toBase64() + "?=";
    }
    return out;
}

QByteArray MailMessage::subjectText(const QString& subject)
{
    QString clean = subject;
    for (QChar& c : clean) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char(' ');
    }
    bool plain = true;
    for (const QChar c : clean)
        plain = plain && c.unicode() < 0x80;
    // A word (with the blanks before it) longer than a header line goes as
    // encoded words, which can be split; "=?" in plain text would be read
    // back as the start of an encoded word.
    if (plain && !clean.contains(QLatin1String("=?")) && foldsPlain(clean.toLatin1()))
        return foldedAscii(clean.toLatin1());
    return encodedWords(clean);
}

QByteArray MailMessage::addressHeader(const char* name, const QStringList& addresses)
{
    QByteArray line = QByteArray(name) + ": ";
    for (qsizetype i = 0; i < addresses.size(); ++i) {
        if (i > 0)
            line += ",\r\n ";
        line += addresses.at(i).toLatin1();
    }
    return line + "\r\n";
}

QString MailMessage::newMessageId(const QString& domain)
{
    QRandomGenerator* random = QRandomGenerator::global();
    const QString stamp =
        QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddhhmmsszzz"));
    const QString unique = QString::number(random->generate64(), 16).rightJustified(16, u'0');
    return stamp + QLatin1Char('.') + unique + QLatin1Char('@') +
           (domain.isEmpty() ? QStringLiteral("localhost") : domain);
}

QByteArray MailMessage::toBytes() const
{
    const QByteArray text = crlfLines(body);
    const QByteArray charset = charsetOf(text);
    const bool sevenBit = fitsSevenBit(text);

    QByteArray head;
    head += "Date: " + dateText(date) + "\r\n";
    head += "From: " + from.toLatin1() + "\r\n";
    if (to.isEmpty())
        head += "To: undisclosed-recipients:;\r\n";
    else
        head += addressHeader("To", to);
    if (!cc.isEmpty())
        head += addressHeader("Cc", cc);
    head += "Subject: " + subjectText(subject) + "\r\n";
    head += "Message-ID: <" + messageId.toLatin1() + ">\r\n";
    head += "MIME-Version: 1.0\r\n";
    head += "Content-Type: text/plain; charset=" + charset + "\r\n";
    head += QByteArray("Content-Transfer-Encoding: ") + (sevenBit ? "7bit" : "quoted-printable") +
            "\r\n";
    return head + "\r\n" + (sevenBit ? text : quotedPrintable(text));
}
