#include "alarms/AlarmComponent.h"

#include "core/AlarmDefinition.h"
#include "core/PointZone.h"
#include "core/ReferenceTables.h"
#include "core/UgcSearch.h"
#include "platform/BoundedRead.h"
#include "platform/Clock.h"
#include "platform/DateTimeText.h"
#include "platform/Digest.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"
#include "platform/TextPrinter.h"
#include "product/BulletinText.h"
#include "product/FiledProduct.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <exception>

namespace {

const QString LineEnd = QStringLiteral("\r\n");
constexpr int LogSummaryLines = 3;
constexpr int LogSummaryLength = 200;

bool isPlainName(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(0));
}

bool isFramingLine(const QString& trimmed)
{
    for (const QChar c : trimmed) {
        if (!c.isDigit() && !c.isSpace() && c.unicode() >= 0x20)
            return false;
    }
    return true;
}

// The lines that carry the content: trimmed, without empty lines, without
// the leading sequence-number and control lines of the broadcast framing.
QStringList contentLines(const QString& text)
{
    QStringList lines;
    for (const QString& line : TextFile::splitLines(text)) {
        QString trimmed = line.trimmed();
        trimmed.remove(QChar(0x01));
        trimmed.remove(QChar(0x03));
        if (trimmed.isEmpty() || (lines.isEmpty() && isFramingLine(trimmed)))
            continue;
        lines << trimmed;
    }
    return lines;
}

void replaceRepeatedBlanks(QString* text)
{
    while (text->contains(QLatin1String("  ")))
        text->replace(QStringLiteral("  "), QStringLiteral(" "));
}

// Runs every action even when an earlier one failed; the first failure is
// rethrown once all have run.
class ActionRunner
{
public:
    template <typename Action> void run(Action&& action)
    {
        try {
            action();
        } catch (...) {
            if (!m_first)
                m_first = std::current_exception();
        }
    }
    void finish()
    {
        if (m_first)
            std::rethrow_exception(m_first);
    }

private:
    std::exception_ptr m_first;
};

QString countyBaseName(const QString& name)
{
    for (const char* suffix : {" County", " Parish", " Borough", " Census Area", " Municipality"}) {
        if (name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive))
            return name.left(name.size() - qstrlen(suffix));
    }
    return name;
}

} // namespace

AlarmComponent::AlarmComponent(QString programDir, const ReferenceTables& tables, IClock& clock,
                               ITextPrinter& printer, QObject* parent)
    : QObject(parent), m_programDir(std::move(programDir)), m_tables(tables), m_clock(clock),
      m_printer(printer)
{
}

QString AlarmComponent::cleanProduct(const QString& raw)
{
    // The text was read as Latin-1: back to the same bytes. A leading NUL
    // does not drop the text: the alarm still matches what follows.
    return BulletinText::clean(raw.toLatin1(), BulletinText::LeadingNul::Removed);
}

QString AlarmComponent::digest(const QString& fullPathName, const QString& text)
{
    const QString content = fullPathName + QLatin1Char('\n') + contentLines(text).join('\n');
    return QString::fromLatin1(Digest::sha1Hex(content.toUtf8()).left(16));
}

QString AlarmComponent::rememberedEntry(const QString& digest, const QDateTime& when)
{
    return digest + QLatin1Char(':') + QString::number(when.toSecsSinceEpoch());
}

std::optional<QString> AlarmComponent::remember(const QString& state, const QString& mark) const
{
    // The state is scanned as text, not split: a broad definition keeps
    // thousands of entries and sees every product.
    const QDateTime now = m_clock.now();
    const qint64 nowSeconds = now.toSecsSinceEpoch();
    const auto recent = [nowSeconds](QStringView entry) {
        const qsizetype colon = entry.indexOf(u':');
        bool number = false;
        const qint64 at = colon < 0 ? 0 : entry.sliced(colon + 1).toLongLong(&number);
        // A clock set back leaves a negative age: still recent, up to the cap.
        return number && nowSeconds - at < RepeatSeconds;
    };
    const QStringView all(state);
    const QString key = mark + QLatin1Char(':');
    for (qsizetype at = all.indexOf(key); at >= 0; at = all.indexOf(key, at + 1)) {
        if (at > 0 && all.at(at - 1) != u' ')
            continue;
        const qsizetype space = all.indexOf(u' ', at);
        if (recent(all.sliced(at, (space < 0 ? all.size() : space) - at)))
            return std::nullopt;
    }
    // Newest first: keep at most MaxRemembered - 1 entries, then let go of
    // the oldest ones from the end while they are older than the window.
    QStringView kept = all.trimmed();
    qsizetype end = 0;
    for (int count = 0; count < MaxRemembered - 1 && end < kept.size(); ++count) {
        const qsizetype space = kept.indexOf(u' ', end);
        end = space < 0 ? kept.size() : space + 1;
    }
    kept = kept.first(end).trimmed();
    while (!kept.isEmpty()) {
        const qsizetype space = kept.lastIndexOf(u' ');
        if (recent(kept.sliced(space + 1)))
            break;
        kept = kept.first(qMax<qsizetype>(space, 0)).trimmed();
    }
    QString result = rememberedEntry(mark, now);
    if (!kept.isEmpty()) {
        result += QLatin1Char(' ');
        result += kept;
    }
    return result;
}

QString AlarmComponent::compressText(const QString& text, const QString& category,
                                     const QList<QPair<QString, QString>>& dictionary)
{
    QString result = text;
    const QString warning = category.left(3);
    if (warning == QLatin1String("TOR") || warning == QLatin1String("SVR") ||
        warning == QLatin1String("FFW")) {
        const qsizetype bullet = result.indexOf(QLatin1Char('*'));
        if (bullet >= 0)
            result = result.mid(bullet + 2);
        replaceRepeatedBlanks(&result);
        const qsizetype first = result.indexOf(QLatin1Char('*'));
        if (first >= 0) {
            result[first] = QLatin1Char(' ');
            const qsizetype second = result.indexOf(QLatin1Char('*'), first + 1);
            if (second >= 0) {
                result[second] = QLatin1Char(':');
                const qsizetype third = result.indexOf(QLatin1Char('*'), second + 1);
                if (third >= 0)
                    result.truncate(third);
            }
        }
    }
    for (const auto& [find, replacement] : dictionary) {
        if (find == QLatin1String("-END-"))
            break;
        if (!find.isEmpty())
            result.replace(find, replacement);
    }
    return result;
}

std::optional<AlarmComponent::Product> AlarmComponent::readProduct(const FiledProduct& filed)
{
    const QString& name = filed.storedName;
    switch (filed.kind) {
    case FiledProduct::Kind::Image:
        if (!TextFile::exists(filed.path))
            return std::nullopt;
        return Product{filed.alarmText() + QStringLiteral(": new image ") + name, true, true};
    case FiledProduct::Kind::Collection:
        // Hourly collections are removed once extracted: alarm without the file.
        return Product{filed.alarmText() + QStringLiteral(": new collection ") + name, true,
                       TextFile::exists(filed.path)};
    case FiledProduct::Kind::Text:
        break;
    case FiledProduct::Kind::Status:
    case FiledProduct::Kind::WebPage:
        return std::nullopt;
    }
    const std::optional<QString> text = readText(filed.path);
    if (!text)
        return std::nullopt;
    return Product{cleanProduct(*text), true, true};
}

std::optional<QString> AlarmComponent::readText(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = BoundedRead::read(file, MaxProductBytes);
    if (bytes.isEmpty() && file.error() != QFileDevice::NoError)
        return std::nullopt;
    return QString::fromLatin1(bytes);
}

std::optional<AlarmComponent::Product> AlarmComponent::product(const FiledProduct& filed)
{
    if (!m_caching)
        return readProduct(filed);
    if (!m_cached || m_cached->name != filed.storedName)
        m_cached = CachedProduct{filed.storedName, readProduct(filed), QString()};
    return m_cached->product;
}

QString AlarmComponent::textDigest(const QString& name, const Product& product)
{
    const bool shared = m_caching && product.whole && m_cached && m_cached->name == name;
    if (!shared)
        return digest(name, product.text);
    if (m_cached->wholeDigest.isEmpty())
        m_cached->wholeDigest = digest(name, product.text);
    return m_cached->wholeDigest;
}

QStringList AlarmComponent::countiesOfZone(const QString& zoneCode) const
{
    const QString state = zoneCode.left(2);
    const int number = zoneCode.mid(3).toInt();
    QString zoneName;
    for (const ZoneRow& row : m_tables.zones()) {
        if (row.state == state && row.zone.toInt() == number) {
            zoneName = row.name.trimmed();
            break;
        }
    }
    QStringList codes;
    if (zoneName.isEmpty())
        return codes;
    for (const StateCounties& st : m_tables.states()) {
        if (st.abbreviation != state)
            continue;
        for (const County& county : st.counties) {
            if (countyBaseName(county.name).compare(zoneName, Qt::CaseInsensitive) == 0)
                codes << county.code;
        }
    }
    return codes;
}

std::optional<QString> AlarmComponent::areaText(const QString& zone, const QString& text) const
{
    const QString wanted = zone.trimmed();
    if (wanted.isEmpty())
        return text;
    if (PointZone::isPointZone(wanted))
        return m_pointZone ? m_pointZone->areaText(text) : std::nullopt;
    const bool zoneOnly = wanted.startsWith(QLatin1Char('!'));
    const QString code = (zoneOnly ? wanted.mid(1) : wanted).trimmed().toUpper();
    if (!UgcSearch::isCode(code))
        return std::nullopt;
    const QStringList lines = TextFile::splitLines(text);
    QString segment;
    if (UgcSearch::findInLines(code, lines, &segment))
        return segment;
    if (code.at(2) == QLatin1Char('Z') && !zoneOnly) {
        for (const QString& county : countiesOfZone(code)) {
            if (UgcSearch::findInLines(county, lines, &segment))
                return segment;
        }
    }
    return std::nullopt;
}

void AlarmComponent::CheckAlarm(const FiledProduct& filed, const AlarmDefinition& definition,
                                int index)
{
    const QString& name = filed.storedName;
    if (!isPlainName(name))
        return;
    std::optional<Product> product = this->product(filed);
    if (!product)
        return;
    const bool text = filed.kind == FiledProduct::Kind::Text;
    if (!definition.zone.trimmed().isEmpty()) {
        if (!text)
            return;
        const std::optional<QString> segment = areaText(definition.zone, product->text);
        if (!segment)
            return;
        product->text = *segment;
        product->whole = false;
    }

    QString newState = definition.state;
    if (text) {
        const std::optional<QString> state = remember(definition.state, textDigest(name, *product));
        if (!state)
            return;
        newState = *state;
    }
    perform(definition, index, *product, filed, newState);
}

void AlarmComponent::perform(const AlarmDefinition& a, int index, const Product& product,
                             const FiledProduct& filed, const QString& newState)
{
    const QString& FullPathName = filed.storedName;
    const QString& CheckString = filed.alarmText();
    const QString& text = product.text;
    const QString notice =
        a.compress ? compressText(text, CheckString, m_tables.dictionary()) : text;
    ActionRunner runner;
    runner.run([&] { emit AlarmUpdate(index, newState); });
    if (a.log)
        runner.run([&] { writeLog(text, FullPathName, CheckString); });
    if (a.print)
        runner.run([&] { print(text); });
    if (a.display)
        runner.run([&] { emit AlarmScreen(text, FullPathName); });
    if (a.list)
        runner.run([&] { emit AlarmList(FullPathName); });
    if (a.custom && product.hasFile)
        runner.run([&] { emit AlarmArchive(FullPathName, product.whole ? QString() : text); });
    if (a.scroll) {
        QString line = notice;
        line.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        runner.run([&] { emit AlarmVisual(line, FullPathName, CheckString); });
    }
    const QString sound = soundFile(a.audio);
    if (!sound.isEmpty())
        runner.run([&] { emit PlayAudio(sound); });
    if (a.email >= 0)
        runner.run([&] { emit alarmEMail(notice, a.email, CheckString); });
    if (a.pager >= 0)
        runner.run([&] { emit AlarmPager(notice, a.pager); });
    if (a.exe > 0 && product.hasFile)
        runner.run([&] { emit AlarmEXE(a.exe, FullPathName); });
    runner.finish();
}

QString AlarmComponent::soundFile(qint16 audio) const
{
    if (audio >= 0 && audio <= 8)
        return m_programDir + QStringLiteral("alert") + QString::number(audio + 1) +
               QStringLiteral(".wav");
    if (audio == 9)
        return QStringLiteral("BEEP");
    return QString();
}

void AlarmComponent::writeLog(const QString& text, const QString& FullPathName,
                              const QString& CheckString) const
{
    const QString when = DateTimeText::general(m_clock.now());
    QString summary = contentLines(text).mid(0, LogSummaryLines).join(QStringLiteral(" / "));
    if (summary.size() > LogSummaryLength)
        summary = summary.left(LogSummaryLength) + QStringLiteral("...");
    TextFile::appendLine(m_programDir + QStringLiteral("weather.txt"),
                         QStringLiteral("*** ") + CheckString + QStringLiteral(" - ") + when +
                             QStringLiteral(" *** ") + FullPathName + QStringLiteral(": ") +
                             summary);
}

void AlarmComponent::print(const QString& text) const
{
    QString page = text;
    page.replace(QStringLiteral("\r\r\n"), LineEnd);
    m_printer.printText(LineEnd + page + LineEnd + LineEnd + LineEnd, m_tables.printerFontSize());
}
