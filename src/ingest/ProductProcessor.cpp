#include "ingest/ProductProcessor.h"

#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/IAlarmLoops.h"
#include "core/IMetarHooks.h"
#include "core/MenuDefinitions.h"
#include "core/NewProducts.h"
#include "core/ProductLists.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/ProductHeader.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/ProcessLauncher.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>
#include <filesystem>

namespace {

// The product file could not be opened for reading (still being written or
// no rights): it stays where it is.
struct UnreadableFile
{
};

// The name or key cannot be used as a file name: the product is quarantined.
struct BadFileName
{
    QString reason;
};

std::filesystem::path fsPath(const QString& path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

bool fileExists(const QString& path)
{
    return QFileInfo(path).isFile();
}

void removeIfPresent(const QString& path)
{
    if (fileExists(path) && !QFile::remove(path))
        throw RuntimeError(ErrorNumber::PermissionDenied, QStringLiteral("cannot delete ") + path);
}

ErrorNumber numberFor(const std::error_code& error, const QString& to)
{
    if (!QFileInfo(QFileInfo(to).absolutePath()).isDir())
        return ErrorNumber::PathNotFound;
    if (error == std::errc::permission_denied || error == std::errc::operation_not_permitted)
        return ErrorNumber::PermissionDenied;
    return ErrorNumber::PathFileAccess;
}

// Copies whole (through a hidden temporary file beside the target), then
// removes the source: used when a rename cannot cross file systems.
void copyThenRemove(const QString& from, const QString& to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw UnreadableFile{};
    QTemporaryFile temp(QFileInfo(to).absolutePath() + QStringLiteral("/.move-XXXXXX"));
    if (!temp.open())
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot write ") + to);
    QByteArray buffer;
    while (!(buffer = source.read(1024 * 1024)).isEmpty()) {
        if (temp.write(buffer) != buffer.size())
            throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot write ") + to);
    }
    temp.close();
    QFile::setPermissions(temp.fileName(), source.permissions());
    std::error_code error;
    std::filesystem::rename(fsPath(temp.fileName()), fsPath(to), error);
    if (error)
        throw RuntimeError(numberFor(error, to), QStringLiteral("cannot write ") + to);
    temp.setAutoRemove(false);
    source.close();
    if (!QFile::remove(from))
        throw RuntimeError(ErrorNumber::PermissionDenied, QStringLiteral("cannot delete ") + from);
}

// Moves a file, replacing the target; across file systems copy then remove.
void moveFile(const QString& from, const QString& to)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    if (!error)
        return;
    if (!fileExists(from))
        throw RuntimeError(ErrorNumber::FileNotFound, from);
    if (error == std::errc::cross_device_link) {
        copyThenRemove(from, to);
        return;
    }
    throw RuntimeError(numberFor(error, to), from + QStringLiteral(" -> ") + to +
                                                 QStringLiteral(": ") +
                                                 QString::fromLocal8Bit(error.message().c_str()));
}

// Renames when the file is there; the target is replaced.
void renameIfPresent(const QString& from, const QString& to)
{
    if (fileExists(from))
        moveFile(from, to);
}

// The file copy of the hourly collections: the target is replaced whole.
void copyIfPresent(const QString& from, const QString& to)
{
    if (!fileExists(from))
        return;
    const QString temp = to + QStringLiteral(".part");
    QFile::remove(temp);
    if (!QFile::copy(from, temp))
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot copy ") + from);
    moveFile(temp, to);
}

// Writes a small file whole: a hidden temporary file renamed over the target.
// (No flush to disk per product: the receipt is rewritten for every product.)
void writeWhole(const QString& path, const QByteArray& bytes)
{
    QTemporaryFile temp(QFileInfo(path).absolutePath() + QStringLiteral("/.write-XXXXXX"));
    if (!temp.open() || temp.write(bytes) != bytes.size())
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot write ") + path);
    temp.close();
    QFile::setPermissions(temp.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                               QFileDevice::ReadGroup | QFileDevice::ReadOther);
    std::error_code error;
    std::filesystem::rename(fsPath(temp.fileName()), fsPath(path), error);
    if (error)
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot write ") + path);
    temp.setAutoRemove(false);
}

QString printable(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        if (c.unicode() < 0x20 || (c.unicode() >= 0x7F && c.unicode() < 0xA0))
            c = QLatin1Char('_');
    }
    return out;
}

bool isPathComponent(const QString& name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

} // namespace

ProductProcessor::ProductProcessor(const Context& context, IAlarmLoops& alarms, IMetarHooks& metar,
                                   QObject* parent)
    : QObject(parent), m_c(context), m_alarms(alarms), m_metar(metar),
      m_unzipper(context.settings, context.alarms, context.status, context.prompter, metar)
{
}

QString ProductProcessor::quarantineDir() const
{
    return m_c.programDir + QuarantineFolder;
}

QString ProductProcessor::productKey(const QString& identifier, const QString& station,
                                     const QString& state)
{
    return identifier.leftJustified(9, QLatin1Char(' ')) + QLatin1Char('~') + station +
           QLatin1Char('~') + state;
}

bool ProductProcessor::isSafeFileName(const QString& text)
{
    if (!isPathComponent(text) || text.contains(QLatin1Char('\\')))
        return false;
    return printable(text) == text;
}

ProductProcessor::Product ProductProcessor::describe(const QString& fileName)
{
    Product p;
    p.original = fileName;
    p.received = fileName.toUpper();
    const qsizetype at = p.received.indexOf(QLatin1Char('@'));
    p.fileName = at < 0 ? p.received : p.received.left(at);
    p.productName = p.received.left(8);
    p.state = p.fileName.mid(6, 2);
    return p;
}

QString ProductProcessor::dataInPath(const Product& p) const
{
    return m_c.settings.TransferPath + p.original;
}

QString ProductProcessor::timestamp() const
{
    return m_c.clock.now().toString(QStringLiteral("MMddHHmm"));
}

void ProductProcessor::ProcessData(const QString& fileName)
{
    const Product p = describe(fileName);
    m_c.status.setText(QStringLiteral("Processing ") + p.received.left(12));
    m_lastDataTime = m_c.clock.now();
    if (!isPathComponent(p.original)) {
        // Not a name in the Data-In directory: nothing there to take.
        m_c.status.setText(QStringLiteral("Ignored bad file name ") + printable(p.original));
        return;
    }
    const QString marker = QStringLiteral("Bad file: ") + p.received;
    try {
        if (!fileExists(dataInPath(p)))
            return;
        if (!isSafeFileName(p.original) || !isSafeFileName(p.fileName))
            throw BadFileName{QStringLiteral("bad file name")};
        dispatch(p);
        if (m_retryMarker == marker)
            m_retryMarker.clear();
    } catch (const UnreadableFile&) {
        if (m_retryMarker == marker)
            return; // left for the next poll
        m_retryMarker = marker;
        throw RuntimeError(ErrorNumber::PathFileAccess, p.received);
    } catch (const BadFileName& bad) {
        quarantine(dataInPath(p), p.original, bad.reason);
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::FileNotFound || fileExists(dataInPath(p)))
            reportError(p, error.code(), error.text());
    } catch (const std::exception& error) {
        reportError(p, static_cast<int>(ErrorNumber::InvalidCall),
                    QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportError(p, static_cast<int>(ErrorNumber::InvalidCall), QString());
    }
}

void ProductProcessor::dispatch(const Product& p)
{
    const QString& name = p.fileName;
    const bool image = name.contains(QLatin1String(".GIF")) || name.contains(QLatin1String(".JPG"));
    if (name == QLatin1String("STATUS.TXT"))
        processStatus(p);
    else if (name.startsWith(QLatin1String("EPH")))
        discard(p, QStringLiteral("Ignoring SAT:") + name);
    else if (name.contains(QLatin1String(".ZZZ")))
        discard(p, QStringLiteral("Ignoring test ") + name);
    else if (!image && name.contains(QLatin1String("GPH")))
        discard(p, QString());
    else if (image)
        processImage(p);
    else if (name.contains(QLatin1String(".ZIS")))
        processCompressed(p);
    else if (name.contains(QLatin1String(".HTM")))
        processWebPage(p);
    else
        processText(p);
}

// A discard ordered by rule: the file is deleted; an empty status text leaves
// the status line alone.
void ProductProcessor::discard(const Product& p, const QString& status)
{
    removeIfPresent(dataInPath(p));
    if (!status.isEmpty())
        m_c.status.setText(status);
}

bool ProductProcessor::quarantine(const QString& source, const QString& name, const QString& reason)
{
    const QString dir = quarantineDir();
    QDir().mkpath(dir);
    const QString base = printable(name);
    QString target = dir + base;
    for (int n = 1; QFileInfo::exists(target); ++n)
        target = dir + base + QLatin1Char('.') + QString::number(n);
    const QString detail = base + QStringLiteral(" (") + reason + QLatin1Char(')');
    try {
        moveFile(source, target);
    } catch (...) {
        m_c.status.setText(QStringLiteral("Could not move to track/bad: ") + detail);
        return false;
    }
    m_c.status.setText(QStringLiteral("Moved to track/bad: ") + detail);
    return true;
}

// The error report goes into the bulletin display; the file, when still in
// the Data-In directory, is kept in quarantine.
void ProductProcessor::reportError(const Product& p, int number, const QString& text)
{
    m_c.display.setDisplay(ErrorReport::format(Caption, number, text) + QStringLiteral("\n\n") +
                               p.fileName + QLatin1Char('-') + p.received,
                           m_c.display.tag());
    if (fileExists(dataInPath(p)))
        quarantine(dataInPath(p), p.original, QStringLiteral("error ") + QString::number(number));
}

void ProductProcessor::setDdeHeader(const Product& p, const QString& name)
{
    m_c.newProducts.setDdeHeader(p.received.left(12) + QLatin1Char(',') + name);
}

void ProductProcessor::processStatus(const Product& p)
{
    const QString target = m_c.programDir + QStringLiteral("status.txt");
    removeIfPresent(target);
    moveFile(dataInPath(p), target);
    m_c.status.setText(QStringLiteral("New STATUS file ready"));
}

void ProductProcessor::processImage(const Product& p)
{
    const QString& dir = m_c.settings.GIFPath;
    removeIfPresent(dir + p.fileName);
    const QString extension = p.received.contains(QLatin1String(".GIF")) ? QStringLiteral(".GIF")
                                                                         : QStringLiteral(".JPG");
    const QString newName = p.fileName.left(p.fileName.indexOf(QLatin1Char('.'))) +
                            QLatin1Char('-') + timestamp() + extension;
    removeIfPresent(dir + newName);
    moveFile(dataInPath(p), dir + newName);
    m_c.status.setText(QStringLiteral("Received ") + newName);
    m_alarms.matchProductName(p.productName, newName);
    m_c.lists.addReceived(newName);
    setDdeHeader(p, newName);
}

void ProductProcessor::processCompressed(const Product& p)
{
    const QString& sa = m_c.settings.SAPath;
    const QString archive = sa + p.fileName;
    const QString& name = p.fileName;
    const bool hourly =
        name.contains(QLatin1String("SAHOURLY")) || name.contains(QLatin1String("SFCOBS")) ||
        name.contains(QLatin1String("UPROBS")) || name.contains(QLatin1String("SAORCM"));
    removeIfPresent(archive);
    moveFile(dataInPath(p), archive);
    if (!hourly) {
        // The contents land in the Data-In directory for a later poll.
        if (m_unzipper.Unzipit(archive, m_c.settings.TransferPath))
            removeIfPresent(archive);
        else
            quarantine(archive, p.original, m_c.status.text());
        return;
    }
    if (!m_unzipper.Unzipit(archive, sa))
        return; // the archive stays in SAPath
    if (name.contains(QLatin1String("SAHOURLY"))) {
        copyIfPresent(sa + QStringLiteral("SAHOURLY.TXT"),
                      sa + QStringLiteral("SAHOURLY.") + timestamp() + QStringLiteral(".TXT"));
        removeIfPresent(archive);
    }
    if (name.contains(QLatin1String("SAORCMUS"))) {
        copyIfPresent(sa + QStringLiteral("SAORCMUS.TXT"),
                      sa + QStringLiteral("SAORCMUS.") + timestamp() + QStringLiteral(".TXT"));
        removeIfPresent(archive);
        const QString program = m_c.programDir + QStringLiteral("rcmunzip");
        if (m_c.settings.RCMUnzip != 0 && fileExists(program))
            m_c.launcher.start(QLatin1Char('"') + program + QStringLiteral("\" RUN"),
                               LaunchWindow::Hidden);
    }
    m_c.status.setText(QStringLiteral("Received ") + name);
    m_c.lists.addReceived(name);
    setDdeHeader(p, name);
    m_alarms.matchProductName(p.productName, name);
}

void ProductProcessor::processWebPage(const Product& p)
{
    const QString target = m_c.settings.TextPath + p.fileName;
    removeIfPresent(target);
    m_c.status.setText(QStringLiteral("Received ") + p.fileName);
    m_c.lists.addReceived(p.fileName);
    setDdeHeader(p, p.fileName);
    moveFile(dataInPath(p), target);
}

bool ProductProcessor::openProduct(QFile& file) const
{
    return file.open(QIODevice::ReadOnly);
}

ProductHeader ProductProcessor::readHeader(const Product& p) const
{
    QFile file(dataInPath(p));
    if (!openProduct(file))
        throw UnreadableFile{};
    return ProductHeader::read(ProductHeader::headLines(file));
}

void ProductProcessor::processText(const Product& p)
{
    const ProductHeader header = readHeader(p);
    switch (header.outcome) {
    case ProductHeader::Outcome::Truncated:
        throw RuntimeError(ErrorNumber::InputPastEnd, p.received);
    case ProductHeader::Outcome::Corrupt:
        discard(p, QStringLiteral("Corrupt ") + p.fileName);
        return;
    case ProductHeader::Outcome::TestFile:
        discard(p, QStringLiteral("Testfile ") + header.identifier);
        return;
    case ProductHeader::Outcome::Read:
        break;
    }
    Settled s = settle(p, header);
    if (s.station == QLatin1String("KUNK")) {
        discard(p, QString());
        return;
    }
    const QString ignored =
        QStringLiteral("Ignored ") + p.productName + QStringLiteral(" / ") + s.ttaaii;
    if (rejectedByFilter(p, s)) {
        discard(p, ignored);
        return;
    }
    deriveIdentifier(p, s);
    const QString key = productKey(s.identifier, s.station, p.state);
    if (!isSafeFileName(key))
        throw BadFileName{QStringLiteral("bad product key ") + printable(key)};
    const Retention retention = retentionFor(key, s.station);
    if (retention.count == -1) {
        discard(p, ignored);
        return;
    }
    rotateVersions(key, retention.count);
    if (!fileText(p, key))
        return;
    writeReceipt(p, key);
    m_c.newProducts.add(key);
    runMetarHooks(key);
    addToLists(p, listLine(key, retention), key);
    m_c.status.setText(QStringLiteral("Received ") + key.left(9).trimmed() +
                       QStringLiteral(" from ") + s.station);
    m_alarms.matchIdentifier(key.left(9).trimmed(), key);
    m_c.lists.ColorList(2);
}

// Identifier and station from the heading, the header table and the fixed
// renamings.
ProductProcessor::Settled ProductProcessor::settle(const Product& p,
                                                   const ProductHeader& header) const
{
    Settled s{header.ttaaii, header.station, header.identifier};
    if (s.identifier.isEmpty() || s.identifier.indexOf(QLatin1Char(' ')) >= 7 ||
        s.identifier.size() >= 24) {
        const QString listed = m_c.tables.awipsIdentifierFor(p.fileName.left(8));
        if (!listed.isEmpty())
            s.identifier = listed;
    }
    if ((s.ttaaii == QLatin1String("NOUS42") && s.station == QLatin1String("KWNO")) ||
        s.ttaaii == QLatin1String("NOXX10") || p.fileName.startsWith(QLatin1String("FEE")) ||
        p.fileName.startsWith(QLatin1String("FED"))) {
        s.identifier = QStringLiteral("FEEDBACK");
        s.station = QStringLiteral("KWBC");
    } else if (p.fileName.startsWith(QLatin1String("TESTWARN"))) {
        s.identifier = QStringLiteral("TESTWARN");
        s.station = QStringLiteral("TEST");
    }
    static const QStringList mkc = {"SWOMCD", "WWAMKC", "SELMKC"};
    if (mkc.contains(s.identifier))
        s.station = QStringLiteral("KMKC");
    if (s.identifier.startsWith(QLatin1String("&ZCZC")))
        s.identifier = s.identifier.mid(9);
    if (s.identifier.size() < 4 || s.identifier.size() > 9 ||
        s.identifier.contains(QLatin1Char(' ')))
        s.identifier.clear();
    return s;
}

bool ProductProcessor::rejectedByFilter(const Product& p, const Settled& s) const
{
    if (s.station == QLatin1String("TEST"))
        return false;
    const Settings& set = m_c.settings;
    const QString first = s.station.left(1);
    const bool group0 = first == QLatin1String("K");
    const bool group1 = !first.isEmpty() && QStringLiteral("CPTM").contains(first);
    const bool group2 = (!group0 && !group1) || p.fileName.startsWith(QLatin1String("MISDCP")) ||
                        s.ttaaii.startsWith(QLatin1String("CREX"));
    return (group0 && set.Filter0 == 0) || (group1 && set.Filter1 == 0) ||
           (group2 && set.Filter2 == 0);
}

void ProductProcessor::deriveIdentifier(const Product& p, Settled& s)
{
    if (s.identifier == QLatin1String("SPECI")) {
        const QString code = p.received.mid(3, 3);
        if (code == QLatin1String("S80"))
            s.identifier = QStringLiteral("MTRSP8");
        else if (code == QLatin1String("S70"))
            s.identifier = QStringLiteral("MTRSP7");
    }
    if (s.identifier.size() >= 3)
        return;
    s.derived = true;
    if (s.identifier.isEmpty())
        s.identifier = s.ttaaii.left(6);
    if (s.identifier.contains(QLatin1Char('.')))
        s.identifier = s.identifier.left(5);
    if (s.identifier.isEmpty())
        s.identifier = p.productName;
    if (s.station.isEmpty())
        s.station = QStringLiteral("KUNK");
}

// Menu items whose first three category codes hold the category, then the
// office table by station; the last match of each wins.
ProductProcessor::Retention ProductProcessor::retentionFor(const QString& key,
                                                           const QString& station) const
{
    Retention r{m_c.settings.PurgeProd, -1};
    const QString category = key.left(3);
    const QList<MenuItem>& items = m_c.menus.menuItems();
    for (int i = 0; i < items.size(); ++i) {
        const qsizetype at = items.at(i).categories.indexOf(category);
        if (at == 0 || at == 3 || at == 6) {
            r.item = i;
            r.count = items.at(i).retention;
        }
    }
    const QString office = station.mid(1);
    for (const OfficeRetention& entry : m_c.menus.offices()) {
        if (entry.office == office)
            r.count = entry.retention;
    }
    return r;
}

// key.N is dropped, key.i becomes key.(i+1), key becomes key.1; with no
// versions kept the previous product is dropped.
void ProductProcessor::rotateVersions(const QString& key, int count) const
{
    const QString base = m_c.settings.TextPath + key;
    auto version = [&](int n) { return base + QLatin1Char('.') + QString::number(n); };
    if (count > 0)
        removeIfPresent(version(count));
    for (int i = count - 1; i >= 1; --i)
        renameIfPresent(version(i), version(i + 1));
    if (count == 0)
        removeIfPresent(base);
    else
        renameIfPresent(base, version(1));
}

// Moves the product under its key; a product that cannot be filed goes to
// quarantine. False when it was not filed.
bool ProductProcessor::fileText(const Product& p, const QString& key)
{
    const QString target = m_c.settings.TextPath + key;
    QString reason;
    try {
        moveFile(dataInPath(p), target);
    } catch (const RuntimeError& error) {
        reason = error.text();
    }
    if (reason.isEmpty() && fileExists(target))
        return true;
    if (fileExists(dataInPath(p)))
        quarantine(dataInPath(p), p.original, QStringLiteral("not filed: ") + reason);
    return false;
}

void ProductProcessor::writeReceipt(const Product& p, const QString& key) const
{
    writeWhole(m_c.settings.receiptDir() + p.fileName, (key + QStringLiteral("\r\n")).toLatin1());
}

void ProductProcessor::runMetarHooks(const QString& key)
{
    if (!key.contains(QLatin1String("MTRSP")))
        return;
    const Settings& s = m_c.settings;
    if (s.MetarDL == 1)
        m_metar.GetOffHourly(s.Metar, key, true);
    if (m_c.alarms.metarAlarmDefined()) {
        m_metar.GetOffHourly(s.Metar, key, false);
        m_metar.AlarmMetar(QStringLiteral("METAR"));
    }
    if (m_c.alarms.speciAlarmDefined()) {
        m_metar.GetOffHourly(s.Metar, key, false);
        m_metar.AlarmMetar(QStringLiteral("SPECI"));
    }
}

// The key, or in long form office + "~" + menu caption in 40 columns, "+", key.
QString ProductProcessor::listLine(const QString& key, const Retention& retention) const
{
    if (m_c.settings.LongHeader == 0 || retention.item < 0)
        return key;
    const QString office =
        key.left(3) == QLatin1String("SPE") ? QStringLiteral("WBC") : key.mid(3, 3);
    const QString caption = m_c.menus.menuItems().at(retention.item).caption;
    return (office + QLatin1Char('~') + caption).leftJustified(40, QLatin1Char(' '), true) +
           QLatin1Char('+') + key;
}

void ProductProcessor::addToLists(const Product& p, const QString& line, const QString& key)
{
    ProductLists& lists = m_c.lists;
    lists.addReceived(line);
    lists.addLocal(line, key);
    setDdeHeader(p, key);
}
