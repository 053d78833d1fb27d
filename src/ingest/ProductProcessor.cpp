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
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"

#include "ingest/StagedFiles.h"
#include "platform/FileMove.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <sys/stat.h>

namespace {

// The product file could not be opened for reading (still being written or
// no rights): it stays where it is.
struct UnreadableFile
{
};

// The product file cannot leave the Data-In directory now (no right to remove
// it there, or to create it in the store): it stays where it is.
struct NotTakenYet
{
    QString reason;
};

// The name or key cannot be used as a file name: the product is quarantined.
struct BadFileName
{
    QString reason;
};

bool lstatMode(const QString& path, mode_t* mode)
{
    struct stat info;
    if (::lstat(QFile::encodeName(path).constData(), &info) != 0)
        return false;
    *mode = info.st_mode;
    return true;
}

// The entry is there (of whatever kind: a link counts, not what it points to).
bool isPresent(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode);
}

bool fileExists(const QString& path)
{
    mode_t mode = 0;
    return lstatMode(path, &mode) && S_ISREG(mode);
}

void removeIfPresent(const QString& path)
{
    if (isPresent(path) && !QFile::remove(path))
        throw RuntimeError(ErrorNumber::PermissionDenied, QStringLiteral("cannot delete ") + path);
}

// Renames when the file is there; the target is replaced.
void renameIfPresent(const QString& from, const QString& to)
{
    if (fileExists(from))
        FileMove::move(from, to);
}

// The file copy of the hourly collections: the target is replaced whole.
void copyIfPresent(const QString& from, const QString& to)
{
    if (!fileExists(from))
        return;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        throw RuntimeError(ErrorNumber::PathFileAccess, QStringLiteral("cannot copy ") + from);
    FileMove::writeWhole(to, source.readAll(), false);
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
      m_unzipper(context.settings, context.alarms, context.status, metar),
      m_quarantine(context.programDir),
      m_duplicates(context.programDir + QStringLiteral("track/recent-products.txt"),
                   context.programDir + QStringLiteral("track/duplicates.log"), context.clock)
{
}

QString ProductProcessor::quarantineDir() const
{
    return m_quarantine.directory();
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
    const QDateTime started = m_c.clock.now();
    if (!isPathComponent(p.original)) {
        // Not a name in the Data-In directory: nothing there to take.
        m_c.status.setText(QStringLiteral("Ignored bad file name ") + printable(p.original));
        return;
    }
    const QString marker = QStringLiteral("Bad file: ") + p.received;
    const QString path = dataInPath(p);
    mode_t mode = 0;
    if (!lstatMode(path, &mode))
        return;
    if (!S_ISREG(mode)) {
        // Never followed, and no product: set aside as it is.
        refuse(QFile::encodeName(p.original), S_ISLNK(mode) ? QStringLiteral("a link, not a file")
                                                            : QStringLiteral("not a regular file"));
        return;
    }
    try {
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
    } catch (const NotTakenYet& wait) {
        m_c.status.setText(QStringLiteral("Cannot take ") + printable(p.original) +
                           QStringLiteral(" from Data-In yet (") + wait.reason + QLatin1Char(')'));
        if (m_retryMarker == marker)
            return; // left for the next poll; nothing stored was touched
        m_retryMarker = marker;
        throw RuntimeError(ErrorNumber::PathFileAccess, p.received);
    } catch (const BadFileName& bad) {
        quarantine(path, p.original, bad.reason);
    } catch (const RuntimeError& error) {
        if (error.number() != ErrorNumber::FileNotFound || isPresent(path))
            reportError(p, error.code(), error.text());
    } catch (const std::exception& error) {
        reportError(p, static_cast<int>(ErrorNumber::InvalidCall),
                    QString::fromLocal8Bit(error.what()));
    } catch (...) {
        reportError(p, static_cast<int>(ErrorNumber::InvalidCall), QString());
    }
    // An arrival is a file taken out of Data-In, not one that stays there.
    if (!isPresent(path))
        m_lastDataTime = started;
}

void ProductProcessor::refuse(const QByteArray& rawName, const QString& reason)
{
    quarantineRaw(QFile::encodeName(m_c.settings.TransferPath) + rawName,
                  QFile::decodeName(rawName), reason);
}

void ProductProcessor::recover()
{
    const Settings& s = m_c.settings;
    QStringList errors;
    const QStringList restored = StagedFiles::recover(
        {s.TextPath, s.SAPath},
        {s.TextPath, s.SAPath, s.GIFPath, s.TransferPath, s.receiptDir(), m_c.programDir},
        s.TransferPath, &errors);
    if (!errors.isEmpty())
        m_c.status.setText(QStringLiteral("Could not put back an unfinished product: ") +
                           errors.join(QStringLiteral("; ")));
    else if (!restored.isEmpty())
        m_c.status.setText(QStringLiteral("Unfinished products put back into Data-In: ") +
                           restored.join(QStringLiteral(", ")));
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

// Moves a file out of the Data-In directory. A move that is not allowed
// leaves it there for the next poll.
void ProductProcessor::takeOut(const Product& p, const QString& to)
{
    try {
        FileMove::move(dataInPath(p), to);
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::PermissionDenied)
            throw NotTakenYet{error.text()};
        throw;
    }
}

bool ProductProcessor::quarantine(const QString& source, const QString& name, const QString& reason)
{
    return quarantineRaw(QFile::encodeName(source), name, reason);
}

bool ProductProcessor::quarantineRaw(const QByteArray& source, const QString& name,
                                     const QString& reason)
{
    const QString used = m_quarantine.take(source, name);
    const QString detail =
        (used.isEmpty() ? Quarantine::safeName(name) : used) + QStringLiteral(" (") + reason + ')';
    if (used.isEmpty()) {
        m_c.status.setText(QStringLiteral("Could not move to track/bad: ") + detail +
                           QStringLiteral(": ") + m_quarantine.error());
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
    if (isPresent(dataInPath(p)))
        quarantine(dataInPath(p), p.original, QStringLiteral("error ") + QString::number(number));
}

void ProductProcessor::setDdeHeader(const Product& p, const QString& name)
{
    m_c.newProducts.setDdeHeader(p.received.left(12) + QLatin1Char(',') + name);
}

void ProductProcessor::processStatus(const Product& p)
{
    takeOut(p, m_c.programDir + QStringLiteral("status.txt"));
    m_c.status.setText(QStringLiteral("New STATUS file ready"));
}

void ProductProcessor::processImage(const Product& p)
{
    const QString& dir = m_c.settings.GIFPath;
    const QString extension = p.received.contains(QLatin1String(".GIF")) ? QStringLiteral(".GIF")
                                                                         : QStringLiteral(".JPG");
    const QString newName = p.fileName.left(p.fileName.indexOf(QLatin1Char('.'))) +
                            QLatin1Char('-') + timestamp() + extension;
    takeOut(p, dir + newName);
    if (newName != p.fileName)
        removeIfPresent(dir + p.fileName);
    m_c.status.setText(QStringLiteral("Received ") + newName);
    m_alarms.matchProductName(p.productName, newName);
    m_c.lists.addReceived(newName);
    setDdeHeader(p, newName);
}

// The archive waits in SAPath under a staged name while it is extracted, so
// that an interrupted extraction is done again at the next start.
void ProductProcessor::processCompressed(const Product& p)
{
    const QString& name = p.fileName;
    const bool hourly =
        name.contains(QLatin1String("SAHOURLY")) || name.contains(QLatin1String("SFCOBS")) ||
        name.contains(QLatin1String("UPROBS")) || name.contains(QLatin1String("SAORCM"));
    const QString staged = StagedFiles::stagedPath(m_c.settings.SAPath, p.original);
    takeOut(p, staged);
    extractStaged(p, staged, hourly, std::nullopt);
}

void ProductProcessor::extractStaged(const Product& p, const QString& staged, bool hourly,
                                     const std::optional<QString>& password)
{
    const QString& target = hourly ? m_c.settings.SAPath : m_c.settings.TransferPath;
    m_unzipper.setPassword(password);
    m_unzipper.setArchiveName(p.original);
    const int result = m_unzipper.extract(staged, target);
    m_unzipper.setPassword(std::nullopt);
    if (result == Unzipper::NeedsPassword && !password) {
        askPassword(p, staged, hourly);
        return;
    }
    if (hourly) {
        finishHourly(p, staged, result == 0);
        return;
    }
    // The contents land in the Data-In directory for a later poll.
    if (result != 0)
        quarantine(staged, p.original, m_c.status.text());
    else if (!m_unzipper.refused().isEmpty())
        quarantine(staged, p.original,
                   QStringLiteral("not extracted: ") + m_unzipper.refused().join(QLatin1Char(' ')));
    else
        QFile::remove(staged);
}

void ProductProcessor::finishHourly(const Product& p, const QString& staged, bool extractedOk)
{
    const QString& sa = m_c.settings.SAPath;
    const QString& name = p.fileName;
    const QString archive = sa + name;
    if (!extractedOk) {
        FileMove::move(staged, archive); // the archive stays in SAPath
        return;
    }
    if (name.contains(QLatin1String("SAHOURLY"))) {
        copyIfPresent(sa + QStringLiteral("SAHOURLY.TXT"),
                      sa + QStringLiteral("SAHOURLY.") + timestamp() + QStringLiteral(".TXT"));
        QFile::remove(staged);
    } else if (name.contains(QLatin1String("SAORCMUS"))) {
        copyIfPresent(sa + QStringLiteral("SAORCMUS.TXT"),
                      sa + QStringLiteral("SAORCMUS.") + timestamp() + QStringLiteral(".TXT"));
        QFile::remove(staged);
        const QString program = m_c.programDir + QStringLiteral("rcmunzip");
        if (m_c.settings.RCMUnzip != 0 && fileExists(program))
            m_c.launcher.start(QLatin1Char('"') + program + QStringLiteral("\" RUN"),
                               LaunchWindow::Hidden);
    } else {
        FileMove::move(staged, archive); // collections that are only extracted stay
    }
    m_c.status.setText(QStringLiteral("Received ") + name);
    m_c.lists.addReceived(name);
    setDdeHeader(p, name);
    m_alarms.matchProductName(p.productName, name);
}

// The archive waits, staged, while the user is asked; polling goes on.
void ProductProcessor::askPassword(const Product& p, const QString& staged, bool hourly)
{
    m_waiting.insert(staged,
                     Waiting{p, hourly ? m_c.settings.SAPath : m_c.settings.TransferPath, hourly});
    m_c.status.setText(p.fileName + QStringLiteral(" is encrypted: waiting for its password"));
    QPointer<ProductProcessor> self(this);
    m_c.prompter.inputLater(Unzipper::PasswordPrompt, p.fileName,
                            [self, staged](std::optional<QString> answer) {
                                // Answered later, or at once by a prompter
                                // that does not wait: never inside this call.
                                QTimer::singleShot(0, self, [self, staged, answer] {
                                    if (self)
                                        self->passwordAnswered(staged, answer);
                                });
                            });
}

void ProductProcessor::passwordAnswered(const QString& staged, const std::optional<QString>& answer)
{
    const auto it = m_waiting.find(staged);
    if (it == m_waiting.end())
        return;
    const Waiting waiting = *it;
    m_waiting.erase(it);
    if (!fileExists(staged))
        return;
    if (!answer || answer->isEmpty()) {
        quarantine(staged, waiting.product.original, QStringLiteral("no password given"));
        return;
    }
    try {
        extractStaged(waiting.product, staged, waiting.hourly, answer);
    } catch (const RuntimeError& error) {
        reportError(waiting.product, error.code(), error.text());
        if (fileExists(staged))
            quarantine(staged, waiting.product.original, error.text());
    }
}

void ProductProcessor::processWebPage(const Product& p)
{
    const QString target = m_c.settings.TextPath + p.fileName;
    takeOut(p, target);
    m_c.status.setText(QStringLiteral("Received ") + p.fileName);
    m_c.lists.addReceived(p.fileName);
    setDdeHeader(p, p.fileName);
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
        // Kept rather than deleted: a first line this long is no heading, but
        // a product may follow it.
        if (quarantine(dataInPath(p), p.original, QStringLiteral("first line too long")))
            m_c.status.setText(QStringLiteral("Corrupt ") + p.fileName +
                               QStringLiteral(", moved to track/bad"));
        return;
    case ProductHeader::Outcome::TestFile:
        discard(p, QStringLiteral("Testfile ") + header.identifier);
        return;
    case ProductHeader::Outcome::Read:
        break;
    }
    const QByteArray identity = DuplicateFilter::identityOfFile(dataInPath(p));
    if (m_duplicates.seenBefore(identity, p.fileName)) {
        discard(p, QStringLiteral("Duplicate %1 dropped (%2 so far)")
                       .arg(p.fileName)
                       .arg(m_duplicates.dropped()));
        return;
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
    if (s.station == QLatin1String("KUNK")) {
        discard(p, QString()); // also a station that only derivation named
        return;
    }
    const QString key = productKey(s.identifier, s.station, p.state);
    if (!isSafeFileName(key))
        throw BadFileName{QStringLiteral("bad product key ") + printable(key)};
    const Retention retention = retentionFor(key, s.station);
    if (retention.count == -1) {
        discard(p, ignored);
        return;
    }
    if (!fileText(p, key, retention.count))
        return;
    m_duplicates.remember(identity);
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

// The product leaves the Data-In directory first (staged in the store), its
// receipt is written, and only then do the older versions move up and the
// product take its key. A product that cannot be filed goes to quarantine;
// one that cannot leave the Data-In directory yet stays there untouched.
// False when it was not filed.
bool ProductProcessor::fileText(const Product& p, const QString& key, int count)
{
    const QString target = m_c.settings.TextPath + key;
    const QString staged = StagedFiles::stagedPath(m_c.settings.TextPath, p.original);
    try {
        takeOut(p, staged);
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::FileNotFound)
            throw;
        quarantine(dataInPath(p), p.original, QStringLiteral("not filed: ") + error.text());
        return false;
    }
    writeReceipt(p, key);
    try {
        rotateVersions(key, count);
        FileMove::move(staged, target);
    } catch (const RuntimeError& error) {
        quarantine(staged, p.original, QStringLiteral("not filed: ") + error.text());
        return false;
    }
    return fileExists(target);
}

// A receipt that cannot be written is reported; the product is filed anyway.
void ProductProcessor::writeReceipt(const Product& p, const QString& key)
{
    const QString dir = m_c.settings.receiptDir();
    if (dir.isEmpty())
        return;
    try {
        FileMove::writeWhole(dir + p.fileName, (key + QStringLiteral("\r\n")).toLatin1(), false);
    } catch (const RuntimeError& error) {
        m_c.display.setDisplay(
            ErrorReport::format(Caption, error.code(),
                                QStringLiteral("receipt not written: ") + error.text()),
            m_c.display.tag());
    }
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
