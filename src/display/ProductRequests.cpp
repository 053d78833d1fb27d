#include "display/ProductRequests.h"

#include "core/DisplayState.h"
#include "core/ProductLists.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "display/BulletinDisplay.h"
#include "display/GphViewer.h"
#include "display/MirrorFetcher.h"
#include "platform/ErrorReport.h"
#include "platform/FileLister.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "product/BulletinText.h"
#include "product/ProductName.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QUrl>
#include <algorithm>

namespace {
// A stored name split into its key and version number (key.N; 0 for the key).
std::pair<QString, int> versionOf(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot > 0) {
        bool ok = false;
        const int n = name.mid(dot + 1).toInt(&ok);
        if (ok && n >= 0)
            return {name.left(dot), n};
    }
    return {name, 0};
}

QString upperAll(const QString& text)
{
    return text.toUpper();
}
} // namespace

ProductRequests::ProductRequests(const Context& context, BulletinDisplay& display,
                                 MirrorFetcher& fetcher, QObject* parent)
    : QObject(parent), m_c(context), m_display(display), m_fetcher(fetcher)
{
    m_timer2.setInterval(Timer2Interval);
    connect(&m_timer2, &QTimer::timeout, this, &ProductRequests::runListing);
    connect(&m_fetcher, &MirrorFetcher::finished, this, &ProductRequests::onFetchFinished);
}

void ProductRequests::setListingRequest(const QString& r0, const QString& r1, const QString& r2,
                                        const QString& r3)
{
    m_r[0] = r0;
    m_r[1] = r1.isEmpty() ? Unused : r1;
    m_r[2] = r2.isEmpty() ? Unused : r2;
    m_r[3] = r3.isEmpty() ? Unused : r3;
}

QString ProductRequests::listingPattern(const QString& r0, const QString& r1, const QString& r2,
                                        const QString& r3)
{
    if (r0.size() == 4)
        return QStringLiteral("?????????~") + r0 + QLatin1Char('*');
    if (r0.contains(QLatin1String("WFOSEARCH")))
        return QStringLiteral("???") + r0.left(3) + QLatin1Char('*');
    if (r0.contains(QLatin1String("STATESEARCH")))
        return QStringLiteral("?????????~????~") + r0.left(2) + QLatin1Char('*');
    QString pattern = r0 + QLatin1Char('*');
    for (const QString& code : {r1, r2, r3}) {
        if (code != Unused && !code.isEmpty())
            pattern += QLatin1Char(';') + code + QLatin1Char('*');
    }
    return pattern;
}

QStringList ProductRequests::listStore(const QString& pattern) const
{
    const QString dir = m_c.settings.TextPath;
    if (!QFileInfo(dir).isDir()) {
        m_c.status.setText(QStringLiteral("Text directory not found: ") + dir);
        return {};
    }
    QStringList names = FileLister::list(dir, pattern);
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const auto [keyA, versionA] = versionOf(a);
        const auto [keyB, versionB] = versionOf(b);
        const int c = keyA.compare(keyB, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : versionA < versionB;
    });
    return names;
}

bool ProductRequests::checkName(const QString& name) const
{
    if (ProductName::isValid(name))
        return true;
    m_c.prompter.message(ProductName::invalidMessage(name), QString(),
                         IPrompter::Icon::Exclamation);
    return false;
}

void ProductRequests::fillFiltered(const QStringList& names, bool noneFoundEntry)
{
    ProductLists& lists = m_c.lists;
    lists.filtered().clear();
    QStringList upper;
    upper.reserve(names.size());
    std::transform(names.begin(), names.end(), std::back_inserter(upper), upperAll);
    if (upper.isEmpty() && noneFoundEntry)
        upper << ProductLists::NoneFound;
    lists.filtered().appendAll(upper);
    lists.recolour(ListKind::Filtered);
    lists.showList(ListKind::Filtered);
}

void ProductRequests::setAutoUpdate(bool on)
{
    if (on)
        m_timer2.start();
    else
        m_timer2.stop();
    emit autoUpdateChanged(on);
}

void ProductRequests::applyAutomaticStateFilters(const QStringList& filters)
{
    for (const QString& filter : filters) {
        searchStateOrOffice(filter);
        setAutoUpdate(!autoUpdate());
    }
}

void ProductRequests::setInternetMode(bool on)
{
    if (m_internetMode == on)
        return;
    m_internetMode = on;
    emit internetModeChanged(on);
}

void ProductRequests::runListing()
{
    if (m_r[0] == QLatin1String("GIF")) {
        if (m_listImages)
            m_listImages();
        return;
    }
    if (m_r[0].isEmpty()) {
        listAllBulletins();
        return;
    }
    fillFiltered(listStore(listingPattern(m_r[0], m_r[1], m_r[2], m_r[3])), false);
}

void ProductRequests::listCategory(const QString& tag)
{
    if (!checkName(tag))
        return;
    setListingRequest(tag.mid(0, 3), tag.mid(3, 3), tag.mid(6, 3), tag.mid(9, 3));
    runListing();
}

void ProductRequests::listAllBulletins()
{
    m_r[0].clear();
    fillFiltered(listStore(QStringLiteral("?????????~*")), false);
}

bool ProductRequests::searchStateOrOffice(const QString& text)
{
    const QString t = text.toUpper();
    if (t.size() != 2 && t.size() != 3)
        return false;
    if (!checkName(t))
        return true;
    setListingRequest(
        t + (t.size() == 2 ? QStringLiteral("STATESEARCH") : QStringLiteral("WFOSEARCH")));
    runListing();
    return true;
}

bool ProductRequests::searchStation(const QString& text)
{
    const QString t = text.toUpper();
    if (t.size() != 4)
        return false;
    if (!checkName(t))
        return true;
    setListingRequest(t);
    runListing();
    return true;
}

QString ProductRequests::receiptKey(const QString& name) const
{
    if (name.size() != 8 || !ProductName::isValid(name) || name.contains(QLatin1Char('?')) ||
        name.contains(QLatin1Char('*')))
        return QString();
    const QString receipts = m_c.settings.receiptDir();
    const QString path = receipts + name + QStringLiteral(".TXT");
    if (receipts.isEmpty() || !TextFile::exists(path))
        return QString();
    try {
        const QStringList lines = TextFile::readLines(path);
        const QString key = lines.isEmpty() ? QString() : lines.first();
        return ProductName::isValid(key) ? key : QString();
    } catch (const RuntimeError&) {
        return QString();
    }
}

void ProductRequests::showFirstMatch(const QString& pattern)
{
    const QStringList found = listStore(pattern);
    if (found.isEmpty())
        m_display.showMessage(BulletinDisplay::NotAvailable);
    else
        m_display.DisplayProd(found.first());
}

void ProductRequests::quickItem(const QString& tag)
{
    if (tag.contains(QLatin1Char('!'))) {
        const QString name = tag.section(QLatin1Char('!'), 0, 0);
        if (checkName(name + QLatin1Char('*')))
            showFirstMatch(name + QLatin1Char('*'));
        return;
    }
    if (tag.contains(QLatin1Char('.'))) {
        const QString key = receiptKey(tag.left(8));
        if (key.isEmpty())
            m_display.showMessage(BulletinDisplay::NotAvailable);
        else
            m_display.DisplayProd(key);
        return;
    }
    if (checkName(tag + QLatin1Char('*')))
        fillFiltered(listStore(tag + QLatin1Char('*')), false);
}

void ProductRequests::productButton(const QString& tag)
{
    emit focusDisplay();
    QString name = tag.left(9);
    QString zone;
    const QChar separator = tag.contains(QLatin1Char('!'))   ? QLatin1Char('!')
                            : tag.contains(QLatin1Char('.')) ? QLatin1Char('.')
                                                             : QChar();
    if (!separator.isNull()) {
        name = tag.section(separator, 0, 0);
        zone = tag.section(separator, 1);
    }
    if (const QString key = receiptKey(name); !key.isEmpty())
        name = key;
    if (name.size() <= 3) {
        if (checkName(tag + QLatin1Char('*')))
            fillFiltered(listStore(tag + QLatin1Char('*')), true);
        return;
    }
    if (!checkName(name + QLatin1Char('*')))
        return;
    showFirstMatch(name + QLatin1Char('*'));
    const QString shown = m_c.display.tag();
    if (zone.isEmpty() || shown.isEmpty())
        return;
    if (!m_findUgc) {
        m_c.status.setText(QStringLiteral("Zone search: no zone tables loaded"));
        return;
    }
    if (const std::optional<QString> segment = m_findUgc(zone, shown))
        m_c.display.setDisplay(*segment, shown);
}

void ProductRequests::showOtherVersion(int index)
{
    const QString tag = m_c.display.tag();
    if (tag.isEmpty())
        return;
    QString prefix = tag;
    if (const qsizetype dot = tag.indexOf(QLatin1Char('.')); dot >= 0)
        prefix = tag.left(std::max<qsizetype>(dot - 1, 0));
    if (!checkName(prefix + QLatin1Char('*')))
        return;
    const QStringList found = listStore(prefix + QLatin1Char('*'));
    if (found.isEmpty())
        return;
    const qsizetype at = std::max<qsizetype>(found.indexOf(tag), 0);
    const qsizetype next =
        index == 0 ? std::min(at + 1, found.size() - 1) : std::max<qsizetype>(at - 1, 0);
    m_display.DisplayProd(found.at(next));
}

QString ProductRequests::mirrorBase(int which) const
{
    const QString base = Settings::storedText(m_c.store, Settings::Key::InternetMirror, which);
    return base.isEmpty() ? Settings::defaultText(Settings::Key::InternetMirror, which) : base;
}

void ProductRequests::startFetch(const QString& name, int mirror)
{
    const QUrl url(mirrorBase(mirror) + name.toUpper() + QStringLiteral(".TXT"));
    if (!url.isValid() ||
        (url.scheme() != QLatin1String("http") && url.scheme() != QLatin1String("https"))) {
        m_display.showMessage(BulletinDisplay::NotAvailable);
        m_c.status.setText(QStringLiteral("Invalid Internet mirror address: ") + url.toString());
        return;
    }
    m_fetching = true;
    m_fetchName = name.toUpper();
    m_display.showMessage(QStringLiteral("\r\n") + Standby);
    emit manualEntryEnabled(false);
    m_fetcher.fetch(url);
}

void ProductRequests::onFetchFinished(bool found, const QByteArray& body, const QString& reason)
{
    if (!m_fetching)
        return;
    m_fetching = false;
    if (!found) {
        m_display.showMessage(BulletinDisplay::NotAvailable);
        m_c.status.setText(QStringLiteral("Internet fetch of ") + m_fetchName +
                           QStringLiteral(" failed: ") + reason);
        emit manualEntryEnabled(true);
        return;
    }
    const QString path = m_c.settings.TransferPath + m_fetchName + QStringLiteral(".TXT");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(body) != body.size() || !file.commit())
        m_c.status.setText(QStringLiteral("Could not write ") + path);
    m_c.display.setDisplay(BulletinText::clean(body), m_fetchName);
    emit manualEntryEnabled(true);
}

void ProductRequests::requestByName(const QString& text)
{
    QString n = text.trimmed().toUpper();
    if (n.isEmpty() || m_fetching)
        return;
    if (n == QLatin1String("SAHOURLY") || n == QLatin1String("SAORCMUS")) {
        m_display.showMessage(BulletinDisplay::TooLarge);
        return;
    }
    if (!checkName(n) || n.contains(QLatin1Char(' ')))
        return;
    static const auto plainName = [](const QString& s) {
        return s.size() == 8 && std::all_of(s.begin(), s.end(), [](QChar c) {
                   return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
               });
    };
    if (m_internetMode && plainName(n)) {
        emit m_display.leaveCompactRequested();
        startFetch(n, 1);
        return;
    }
    n.replace(QLatin1Char('.'), QLatin1Char('?'));
    if (const QString key = receiptKey(n); !key.isEmpty())
        n = key;
    const QStringList found = listStore(n + QLatin1Char('*'));
    if (!found.isEmpty())
        m_display.DisplayProd(found.first());
    else if (m_c.settings.InternetDL != 0 && plainName(n))
        startFetch(n, 2);
    else
        m_display.showMessage(BulletinDisplay::NotAvailable);
}

void ProductRequests::weatherFile(int index)
{
    m_c.display.setDisplay(m_c.display.text(), QString());
    const QString dir = m_c.programDir;
    try {
        switch (index) {
        case 0:
            emit m_display.leaveCompactRequested();
            m_display.showTextFile(dir + QStringLiteral("weather.txt"));
            break;
        case 1:
            if (QFile::exists(dir + QStringLiteral("weather.txt")) &&
                !QFile::remove(dir + QStringLiteral("weather.txt")))
                throw RuntimeError(ErrorNumber::PermissionDenied, dir + "weather.txt");
            break;
        case 2:
            m_display.showTextFile(dir + QStringLiteral("status.txt"));
            break;
        default:
            break;
        }
    } catch (const RuntimeError& e) {
        m_c.prompter.message(ErrorReport::format(QStringLiteral("MAIN: QuickWX"), e), QString(),
                             IPrompter::Icon::Exclamation);
    }
}

void ProductRequests::openEntry(const QString& entry)
{
    if (entry.contains(QLatin1String(".GIF")) || entry.contains(QLatin1String(".JPG"))) {
        emit imageRequested(entry);
    } else if (entry.startsWith(QLatin1String("GPH"))) {
        if (m_gph)
            m_gph->open(entry);
        else if (m_c.settings.GPHPath.isEmpty())
            m_display.showMessage(GphViewer::NoPath);
    } else {
        m_display.DisplayProd(entry);
    }
}

void ProductRequests::openListEntry(ListKind kind, int row)
{
    ProductListModel& list = m_c.lists.list(kind);
    if (row < 0 || row >= list.count())
        return;
    if (kind == ListKind::Filtered) {
        const QString entry = list.text(row).toUpper();
        if (entry == ProductLists::NoneFound)
            list.clear();
        else
            openEntry(entry);
        return;
    }
    const QString entry = ProductLists::fileNamePart(list.text(row));
    if (entry.contains(QLatin1String(".Z"))) {
        m_display.showMessage(ZippedMessage);
        return;
    }
    openEntry(entry);
}
