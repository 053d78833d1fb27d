#include "TestSupport.h"
#include "display/XdotoolKeystrokes.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

namespace {
// A private X server with one window titled "GPH Viewer" (xev) that reports
// every key it receives.
class KeyWitness
{
public:
    ~KeyWitness()
    {
        for (QProcess* p : {&m_xev, &m_server}) {
            p->kill();
            p->waitForFinished(3000);
        }
        if (m_display.isEmpty())
            return;
        if (m_savedDisplay.isNull())
            qunsetenv("DISPLAY");
        else
            qputenv("DISPLAY", m_savedDisplay);
    }
    // False when Xvfb, xev or xdotool is missing or the server does not come up.
    bool start(const QString& title)
    {
        for (const char* tool : {"Xvfb", "xev", "xdotool"}) {
            if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
                return false;
        }
        for (int n = 90 + QCoreApplication::applicationPid() % 100; n < 400; n += 97) {
            if (!QFile::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) && startServer(n))
                break;
        }
        if (m_display.isEmpty())
            return false;
        m_savedDisplay = qgetenv("DISPLAY");
        qputenv("DISPLAY", m_display.toLatin1());
        m_xev.start(QStringLiteral("xev"),
                    {QStringLiteral("-name"), title, QStringLiteral("-event"), "keyboard"});
        if (!m_xev.waitForStarted(5000))
            return false;
        return QTest::qWaitFor(
            [] {
                QProcess search;
                search.start(QStringLiteral("xdotool"),
                             {"search", "--name", QStringLiteral("^GPH Viewer$")});
                return search.waitForFinished(3000) && search.exitCode() == 0;
            },
            10000);
    }
    // The keysyms of the key presses seen so far, modifier keys left out.
    QStringList pressed()
    {
        m_output += m_xev.readAllStandardOutput();
        static const QRegularExpression press(QStringLiteral(
            "KeyPress event[^\\n]*\\n[^\\n]*\\n[^\\n]*keysym 0x[0-9a-f]+, (\\w+)\\)"));
        QStringList keys;
        auto it = press.globalMatch(QString::fromLatin1(m_output));
        while (it.hasNext()) {
            const QString key = it.next().captured(1);
            if (!key.startsWith(QLatin1String("Shift_")) && !key.startsWith(QLatin1String("Alt_")))
                keys << key;
        }
        return keys;
    }

private:
    bool startServer(int n)
    {
        m_server.start(QStringLiteral("Xvfb"), {QStringLiteral(":%1").arg(n), "-nolisten", "tcp",
                                                "-screen", "0", "640x480x24"});
        if (!m_server.waitForStarted(5000))
            return false;
        const QString socket = QStringLiteral("/tmp/.X11-unix/X%1").arg(n);
        if (!QTest::qWaitFor([&] { return QFile::exists(socket); }, 10000)) {
            m_server.kill();
            m_server.waitForFinished(3000);
            return false;
        }
        m_display = QStringLiteral(":%1").arg(n);
        return true;
    }

    QProcess m_server;
    QProcess m_xev;
    QString m_display;
    QByteArray m_savedDisplay;
    QByteArray m_output;
};

// The xdotool command words that may follow each other in one invocation.
const QStringList kCommands = {"search", "windowraise", "windowfocus", "key"};
} // namespace

class TestXdotoolKeystrokes : public QObject
{
    Q_OBJECT
private slots:
    void keyNames_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QStringList>("args");
        QTest::newRow("menu keys")
            << "%F{DOWN}{DOWN}{ENTER}" << QStringList{"key", "alt+f", "Down", "Down", "Return"};
        QTest::newRow("text then Enter")
            << "+{F6}/d/G1.GPH\r\n%L{ENTER}"
            << QStringList{"key",    "shift+F6", "slash", "d", "slash",  "G",     "1",
                           "period", "G",        "P",     "H", "Return", "alt+l", "Return"};
        QTest::newRow("text that looks like commands")
            << "key Return -x" << QStringList{"key", "k", "e", "y", "space", "R",     "e",
                                              "t",   "u", "r", "n", "space", "minus", "x"};
        QTest::newRow("braced specials")
            << "{+}{%}{}}~" << QStringList{"key", "plus", "percent", "braceright", "Return"};
        QTest::newRow("accented letter")
            << QString::fromUtf8("\xc3\xa9") << QStringList{"key", "U00E9"};
        QTest::newRow("nothing to press") << "" << QStringList{};
    }
    void keyNames()
    {
        QFETCH(QString, keys);
        QTEST(XdotoolKeystrokes::toXdotool(keys), "args");
    }
    void invocationFollowsTheManual_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::newRow("open a graphic") << "+{F6}/data/afos/GPH123.GPH\r\n";
        QTest::newRow("print") << "+{F6}/a/GPH1.GPH\r\n%F{DOWN}{DOWN}{DOWN}{ENTER}%L{ENTER}%F"
                                  "{DOWN}{DOWN}{DOWN}{DOWN}{DOWN}{ENTER}";
        QTest::newRow("hostile text")
            << "+{F6}/x/\"; type --window 1 -- a b\" key ctrl+alt+Delete\r\n";
    }
    // "type" swallows every later argument as text, so it may only come last; an
    // argument starting with "-" is an option. Here only key presses follow the
    // window selection, each a keysym name with modifiers.
    void invocationFollowsTheManual()
    {
        QFETCH(QString, keys);
        const QStringList argv = ProcessLauncher::splitCommand(
            XdotoolKeystrokes::commandLine(QStringLiteral("GPH Viewer"), keys));
        QCOMPARE(argv.mid(0, 8), (QStringList{"xdotool", "search", "--name", "^GPH Viewer$",
                                              "windowraise", "windowfocus", "--sync", "key"}));
        static const QRegularExpression keysym(QStringLiteral(
            "^((shift|alt|ctrl)\\+)*([A-Za-z0-9]|[A-Za-z][A-Za-z0-9_]+|U[0-9A-F]{4})$"));
        for (const QString& arg : argv.mid(8)) {
            QVERIFY2(keysym.match(arg).hasMatch(), qPrintable(arg));
            QVERIFY2(!kCommands.contains(arg) && arg != QLatin1String("type"), qPrintable(arg));
        }
    }
    // The real program against a real window: the keys arrive in order, and the
    // text arrives as text.
    void keysReachTheWindow()
    {
        KeyWitness witness;
        if (!witness.start(QStringLiteral("GPH Viewer")))
            QSKIP("needs Xvfb, xev and xdotool");
        TestHome home;
        ProcessLauncher launcher(home.path() + QStringLiteral("/"));
        XdotoolKeystrokes keys(launcher);
        QVERIFY(keys.sendKeys(QStringLiteral("GPH Viewer"),
                              QStringLiteral("+{F6}/a/GPH1.GPH\r\n%F{DOWN}{ENTER}")));
        const QStringList expected = {"F6",     "slash", "a",      "slash", "G", "P",
                                      "H",      "1",     "period", "G",     "P", "H",
                                      "Return", "f",     "Down",   "Return"};
        QTRY_COMPARE_WITH_TIMEOUT(witness.pressed(), expected, 15000);
    }
};

QTEST_GUILESS_MAIN(TestXdotoolKeystrokes)
#include "tst_xdotoolkeystrokes.moc"
