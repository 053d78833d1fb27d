#include "abcPager/PagerArguments.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <optional>

namespace {
const QString kHelpText =
    QStringLiteral("Sends a text page through a Hayes modem to a paging terminal (TAP).\n"
                   "\n"
                   "  abcPager RECIPIENT:message [--page=RECIPIENT:message ...] [options]\n"
                   "\n"
                   "RECIPIENT is the personal pager ID (line 1 of users.ini) or !GROUP1 to\n"
                   "!GROUP10 (groups.ini). The text is cut into pages of the configured size\n"
                   "and sent to every pager number of the recipient. Further pages of the same\n"
                   "run follow as --page=RECIPIENT:message; pages that share a dial-up number\n"
                   "go out in one call, in the order given.\n"
                   "\n"
                   "Options:\n"
                   "  --config-dir DIR  where users.ini, groups.ini, abcPager.ini and the log are\n"
                   "  --port DEVICE     serial port of the modem (abcPager.ini: Port=)\n"
                   "  --speed N         line speed (abcPager.ini: Speed=; else the pager's entry)\n"
                   "  --dial PREFIX     dial command (abcPager.ini: Dial=, default ATDT)\n"
                   "  --init TEXT       modem init string (abcPager.ini: Init=, default ATE0V1Q0)\n"
                   "  --tries N         calls before giving up (abcPager.ini: Tries=, default 3)\n"
                   "  --log FILE        delivery log (default abcPager-log.txt)\n"
                   "  --report FILE     write each page's result there, one line per page:\n"
                   "                    its exit status (below) and its recipient\n"
                   "  --dry-run         print the pages instead of sending them\n"
                   "\n"
                   "The files live in --config-dir, else in the pager's own directory when\n"
                   "users.ini or groups.ini is there, else in ~/.local/share/vantorel/.\n"
                   "Exit status: 0 all pages delivered, 1 nothing sent (command line or set-up),\n"
                   "2 some pages not delivered, 3 pager numbers that cannot be paged left out\n"
                   "(the pages to the others delivered).\n");

// "RECIPIENT:message"; nothing when there is no recipient before a colon.
std::optional<PagerArguments::Request> request(const QString& page)
{
    const qsizetype colon = page.indexOf(QLatin1Char(':'));
    if (colon <= 0 || page.left(colon).trimmed().isEmpty())
        return std::nullopt;
    return PagerArguments::Request{page.left(colon).trimmed(), page.mid(colon + 1)};
}

bool number(const QString& text, int* value)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (ok && n > 0)
        *value = n;
    return ok && n > 0;
}

// A page argument whose recipient begins with "-" is still the page: it is
// moved behind "--" so that it is never read as an option.
QStringList protectPage(const QStringList& arguments)
{
    QStringList options = arguments.mid(0, 1);
    QStringList pages;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        const bool page = argument.startsWith(QLatin1Char('-')) &&
                          !argument.startsWith(QLatin1String("--")) &&
                          argument.contains(QLatin1Char(':'));
        (page ? pages : options) << argument;
    }
    return pages.isEmpty() ? options : options + QStringList{QStringLiteral("--")} + pages;
}
} // namespace

QString PagerArguments::helpText()
{
    return kHelpText;
}

PagerArguments PagerArguments::parse(const QStringList& arguments)
{
    PagerArguments result;
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")});
    const QCommandLineOption version(QStringLiteral("version"));
    const QCommandLineOption configDir(QStringLiteral("config-dir"), QString(),
                                       QStringLiteral("dir"));
    const QCommandLineOption port(QStringLiteral("port"), QString(), QStringLiteral("device"));
    const QCommandLineOption speed(QStringLiteral("speed"), QString(), QStringLiteral("n"));
    const QCommandLineOption dial(QStringLiteral("dial"), QString(), QStringLiteral("prefix"));
    const QCommandLineOption init(QStringLiteral("init"), QString(), QStringLiteral("text"));
    const QCommandLineOption tries(QStringLiteral("tries"), QString(), QStringLiteral("n"));
    const QCommandLineOption log(QStringLiteral("log"), QString(), QStringLiteral("file"));
    const QCommandLineOption dryRun(QStringLiteral("dry-run"));
    const QCommandLineOption more(QStringLiteral("page"), QString(), QStringLiteral("page"));
    const QCommandLineOption report(QStringLiteral("report"), QString(), QStringLiteral("file"));
    parser.addOptions(
        {help, version, configDir, port, speed, dial, init, tries, log, dryRun, more, report});
    if (!parser.parse(protectPage(arguments))) {
        result.error = parser.errorText();
        return result;
    }
    if (parser.isSet(help) || parser.isSet(version)) {
        result.mode = parser.isSet(help) ? Mode::Help : Mode::Version;
        return result;
    }
    result.configDir = parser.value(configDir);
    result.port = parser.value(port);
    result.dialPrefix = parser.value(dial);
    result.init = parser.value(init);
    result.logFile = parser.value(log);
    result.reportFile = parser.value(report);
    result.dryRun = parser.isSet(dryRun);
    if ((parser.isSet(speed) && !number(parser.value(speed), &result.speed)) ||
        (parser.isSet(tries) && !number(parser.value(tries), &result.tries))) {
        result.error = QStringLiteral("--speed and --tries need a positive number");
        return result;
    }
    // The page is one argument; words typed without quotes are joined again.
    QStringList pages = parser.values(more);
    if (!parser.positionalArguments().isEmpty() || pages.isEmpty())
        pages.prepend(parser.positionalArguments().join(QLatin1Char(' ')));
    if (pages.size() > MaxPages) {
        result.error =
            QStringLiteral("%1 pages; one run takes at most %2").arg(pages.size()).arg(MaxPages);
        return result;
    }
    for (const QString& page : pages) {
        const std::optional<Request> one = request(page);
        if (!one) {
            result.error = QStringLiteral("expected RECIPIENT:message, got \"%1\"").arg(page);
            result.pages.clear();
            return result;
        }
        result.pages.append(*one);
    }
    result.mode = Mode::Page;
    return result;
}
