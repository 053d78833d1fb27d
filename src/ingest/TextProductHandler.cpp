#include "ingest/TextProductHandler.h"

#include "core/DisplayState.h"
#include "core/MenuDefinitions.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "ingest/DuplicateFilter.h"
#include "ingest/FiledProductRouter.h"
#include "ingest/IncomingProduct.h"
#include "ingest/IngestFailures.h"
#include "ingest/IngestFiles.h"
#include "ingest/ProductHeader.h"
#include "ingest/ProductIntake.h"
#include "ingest/StagedFiles.h"
#include "platform/ErrorReport.h"
#include "platform/FileMove.h"
#include "platform/RuntimeError.h"
#include "product/FiledProduct.h"
#include "product/ProductKey.h"

#include <QFile>

TextProductHandler::TextProductHandler(const Context& context, ProductIntake& intake,
                                       FiledProductRouter& router, Opener opener)
    : m_c(context), m_intake(intake), m_router(router), m_opener(std::move(opener)),
      m_versions(intake.settings().TextPath)
{
}

// The product read once for its header and its identity: whole up to the
// identity's bound, beyond it the header only (then it has no identity).
TextProductHandler::Content TextProductHandler::readProduct(const IncomingProduct& p) const
{
    QFile file(m_intake.dataInPath(p));
    if (!m_opener(file))
        throw IngestFailure::UnreadableFile{};
    const qint64 size = file.size();
    if (size > DuplicateFilter::MaxProductBytes)
        return {file.read(ProductHeader::MaxHeaderBytes + 1), false};
    return {file.read(size), true};
}

void TextProductHandler::handle(const IncomingProduct& p)
{
    const Content content = readProduct(p);
    const ProductHeader header = ProductHeader::read(ProductHeader::headLines(content.bytes));
    switch (header.outcome) {
    case ProductHeader::Outcome::Truncated:
        throw RuntimeError(ErrorNumber::InputPastEnd, p.received);
    case ProductHeader::Outcome::Corrupt:
        // Kept rather than deleted: a first line this long is no heading, but
        // a product may follow it.
        if (m_intake.quarantine(m_intake.dataInPath(p), p.original,
                                QStringLiteral("first line too long")))
            m_intake.status().setText(QStringLiteral("Corrupt ") + p.fileName +
                                      QStringLiteral(", moved to track/bad"));
        return;
    case ProductHeader::Outcome::TestFile:
        m_intake.discard(p, QStringLiteral("Testfile ") + header.identifier);
        return;
    case ProductHeader::Outcome::Read:
        break;
    }
    QByteArray identity;
    if (m_duplicates) {
        if (content.whole)
            identity = DuplicateFilter::identity(content.bytes);
        if (m_duplicates->seenBefore(identity, p.fileName)) {
            m_intake.discard(p, QStringLiteral("Duplicate %1 dropped (%2 so far)")
                                    .arg(p.fileName)
                                    .arg(m_duplicates->dropped()));
            return;
        }
    }
    Settled s = settle(p, header);
    if (s.station == QLatin1String("KUNK")) {
        m_intake.discard(p, QString());
        return;
    }
    const QString ignored =
        QStringLiteral("Ignored ") + p.productName + QStringLiteral(" / ") + s.ttaaii;
    if (rejectedByFilter(p, s)) {
        m_intake.discard(p, ignored);
        return;
    }
    deriveIdentifier(p, s);
    if (s.station == QLatin1String("KUNK")) {
        m_intake.discard(p, QString()); // also a station that only derivation named
        return;
    }
    const QString key = ProductKey::make(s.identifier, s.station, p.state).text();
    if (!IngestFiles::isSafeFileName(key))
        throw IngestFailure::BadFileName{QStringLiteral("bad product key ") +
                                         IngestFiles::printable(key)};
    const Retention retention = retentionFor(key, s.station);
    if (retention.count == -1) {
        m_intake.discard(p, ignored);
        return;
    }
    if (!fileText(p, key, retention.count))
        return;
    if (m_duplicates)
        m_duplicates->remember(identity);
    FiledProduct filed;
    filed.kind = FiledProduct::Kind::Text;
    filed.receivedName = p.received;
    filed.productName = p.productName;
    filed.storedName = key;
    filed.path = m_intake.settings().TextPath + key;
    filed.key = key;
    filed.identifier = key.left(9).trimmed();
    filed.station = s.station;
    filed.ttaaii = s.ttaaii;
    filed.heading = header.heading;
    filed.listLine = listLine(key, retention);
    m_router.route(filed);
}

// Identifier and station from the heading, the header table and the fixed
// renamings.
TextProductHandler::Settled TextProductHandler::settle(const IncomingProduct& p,
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

bool TextProductHandler::rejectedByFilter(const IncomingProduct& p, const Settled& s) const
{
    if (s.station == QLatin1String("TEST"))
        return false;
    const Settings& set = m_intake.settings();
    const QString first = s.station.left(1);
    const bool group0 = first == QLatin1String("K");
    const bool group1 = !first.isEmpty() && QStringLiteral("CPTM").contains(first);
    const bool group2 = (!group0 && !group1) || p.fileName.startsWith(QLatin1String("MISDCP")) ||
                        s.ttaaii.startsWith(QLatin1String("CREX"));
    return (group0 && set.Filter0 == 0) || (group1 && set.Filter1 == 0) ||
           (group2 && set.Filter2 == 0);
}

void TextProductHandler::deriveIdentifier(const IncomingProduct& p, Settled& s)
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
TextProductHandler::Retention TextProductHandler::retentionFor(const QString& key,
                                                               const QString& station) const
{
    Retention r{m_intake.settings().PurgeProd, -1};
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

// False when the product was not filed.
bool TextProductHandler::fileText(const IncomingProduct& p, const QString& key, int count)
{
    const QString& textPath = m_intake.settings().TextPath;
    const QString target = textPath + key;
    const QString staged = StagedFiles::stagedPath(textPath, p.original);
    try {
        m_intake.takeOut(p, staged);
    } catch (const RuntimeError& error) {
        if (error.number() == ErrorNumber::FileNotFound)
            throw;
        m_intake.quarantine(m_intake.dataInPath(p), p.original,
                            QStringLiteral("not filed: ") + error.text());
        return false;
    }
    writeReceipt(p, key);
    try {
        m_versions.rotate(key, count);
        FileMove::move(staged, target);
    } catch (const RuntimeError& error) {
        m_intake.quarantine(staged, p.original, QStringLiteral("not filed: ") + error.text());
        return false;
    }
    return true;
}

// A receipt that cannot be written is reported; the product is filed anyway.
void TextProductHandler::writeReceipt(const IncomingProduct& p, const QString& key)
{
    const QString dir = m_intake.settings().receiptDir();
    if (dir.isEmpty())
        return;
    try {
        IngestFiles::rewriteSmallFile(dir + p.fileName, (key + QStringLiteral("\r\n")).toLatin1());
    } catch (const RuntimeError& error) {
        m_intake.display().setDisplay(
            ErrorReport::format(ProductIntake::Caption, error.code(),
                                QStringLiteral("receipt not written: ") + error.text()),
            m_intake.display().tag());
    }
}

// The key, or in long form office + "~" + menu caption in 40 columns, "+", key.
QString TextProductHandler::listLine(const QString& key, const Retention& retention) const
{
    if (m_intake.settings().LongHeader == 0 || retention.item < 0)
        return key;
    const QString office =
        key.left(3) == QLatin1String("SPE") ? QStringLiteral("WBC") : key.mid(3, 3);
    const QString caption = m_c.menus.menuItems().at(retention.item).caption;
    return (office + QLatin1Char('~') + caption).leftJustified(40, QLatin1Char(' '), true) +
           QLatin1Char('+') + key;
}
