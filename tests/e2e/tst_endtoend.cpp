// The chain as a user runs it, with the built programs: a stream server on
// 127.0.0.1 -> the Internet engine, started by the running program in
// Internet Feed mode from its server list -> Data-In -> the program files
// every product -> an alarm definition fires -> its mail reaches a local
// SMTP server through the built mailer. And the broadcast engine reading a
// pseudo-terminal into a running program in Network mode. And finished files
// linked into Data-In with ln, which the directory watch reports created and
// never closed. And both feeds at once into one running program: the stream
// through the Internet engine and the Weather Wire through its engine, from a
// local XMPP server, each product filed once.
#include "../tools/blat/SmtpSink.h"
#include "LocalStreamServer.h"
#include "NwwsProductName.h"
#include "NwwsSender.h"
#include "OfficeStates.h"
#include "PacketEncoder.h"
#include "PseudoTerminal.h"
#include "TestSupport.h"
#include "XmppServer.h"
#include "core/IAlarmLoops.h"
#include "core/NoMetarHooks.h"
#include "core/NwwsSettings.h"
#include "ingest/DataInPoller.h"
#include "ingest/EngineLink.h"
#include "ingest/ProductProcessor.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Store = QMap<QString, QByteArray>; // file name -> contents

const QString kAlarmId = QStringLiteral("AFDDMX");
const QString kAlarmKey = QStringLiteral("AFDDMX   ~KDMX~IA");
constexpr int kProducts = 30;

// Real products, each name once (no NAME@n versions).
QStringList productNames()
{
    QStringList names;
    const QDir corpus(testDataPath(QStringLiteral("corpus/products")));
    for (const QString& name : corpus.entryList(QDir::Files, QDir::Name)) {
        if (!name.contains(QLatin1Char('@')) && names.size() < kProducts)
            names << name;
    }
    return names;
}

QByteArray product(const QString& name)
{
    return readBytes(testDataPath(QStringLiteral("corpus/products/") + name));
}

// Text products that either feed brings under the same name, each name once:
// they begin with their WMO heading (one that begins with a sequence-number
// line is keyed by its heading when the broadcast brings it first, by its
// AWIPS identifier when the Weather Wire does, which sends no such line), and
// the Weather Wire engine names them as the broadcast does.
QStringList namedAlikeByBothFeeds()
{
    static const QRegularExpression heading(QStringLiteral("^[A-Z0-9]{4}[0-9]{2} [A-Z0-9]{4} "));
    QString error;
    const OfficeStates offices =
        OfficeStates::load(QStringLiteral(VANTOREL_SOURCE_ROOT "/data/facility-list.txt"), &error);
    const NwwsProductName wireNames(offices);
    const QJsonArray manifest =
        QJsonDocument::fromJson(readBytes(testDataPath(QStringLiteral("corpus/MANIFEST.json"))))
            .array();
    QStringList names;
    for (const QJsonValue& value : manifest) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value(QStringLiteral("file")).toString();
        const QStringList wmo =
            entry.value(QStringLiteral("wmo")).toString().split(QLatin1Char(' '));
        const QByteArray text = product(name);
        if (names.size() < kProducts && name.endsWith(QLatin1String(".TXT")) &&
            heading.match(QString::fromLatin1(text.left(20))).hasMatch() &&
            wireNames.fileName(entry.value(QStringLiteral("awips")).toString().toLower(),
                               wmo.value(1), wmo.value(0), text) == name)
            names << name;
    }
    return names;
}

// The broadcast of the products, every other one compressed.
QByteArray streamOf(const QStringList& names)
{
    QByteArray stream;
    for (int i = 0; i < names.size(); ++i) {
        const QString date = QStringLiteral("12/7/2026 9:%1:00 AM").arg(i, 2, 10, QLatin1Char('0'));
        for (const QByteArray& packet : PacketEncoder::filePackets(
                 names[i], product(names[i]), date,
                 i % 2 ? PacketEncoder::Form::Compressed : PacketEncoder::Form::Plain))
            stream += packet;
    }
    return stream;
}

Store storeOf(const QStringList& dirs)
{
    Store store;
    for (const QString& dir : dirs) {
        for (const QString& name : QDir(dir).entryList(QDir::Files, QDir::Name))
            store.insert(name, readBytes(dir + name));
    }
    return store;
}

class NoAlarmLoops : public IAlarmLoops
{
public:
    void runAlarms(const FiledProduct&) override {}
};

// What the product processor files for the products, handed to it directly.
Store expectedStore(const QStringList& names)
{
    CoreFixture f;
    f.useIngestDirectories();
    NoAlarmLoops loops;
    NoMetarHooks metar;
    ProductProcessor::Context context{f.programDir,  f.settings, f.tables,   f.menus,
                                      f.alarms,      f.status,   f.display,  f.lists,
                                      f.newProducts, f.clock,    f.launcher, f.prompter};
    ProductProcessor processor(context, loops, metar);
    DataInPoller poller(f.programDir, f.prompter);
    poller.setDirectory(f.settings.TransferPath);
    poller.setProcessor(&processor);
    for (const QString& name : names)
        f.home.write(QStringLiteral("prog/track/transfer/") + name, product(name));
    poller.runPassNow();
    return storeOf({f.settings.TextPath, f.settings.GIFPath, f.settings.SAPath});
}

// A private home holding the settings and program directory of a user, and
// the running program.
class UserSession
{
public:
    UserSession()
    {
        const QString runtime = home.file(QStringLiteral("run"));
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.toUtf8());
        for (const QString& d : {textPath, imagePath, hourlyPath, archivePath, dataIn, programDir})
            QDir().mkpath(d);
    }
    ~UserSession()
    {
        stopEngines();
        if (program.state() != QProcess::NotRunning) {
            program.terminate();
            if (!program.waitForFinished(5000))
                program.kill();
            program.waitForFinished(2000);
        }
    }

    // The engines the program started are stopped the way the program does,
    // and their last lines read while the program still carries them.
    void stopEngines()
    {
        EngineLink link;
        link.send(QStringLiteral("SHUTDOWN"));
        link.finish(EngineLink::GiveUpMs);
        (void)QTest::qWaitFor(
            [] {
                for (const QString& engine : EngineLink::EngineNames)
                    if (QFile::exists(EngineLink::serverPathFor(engine)))
                        return false;
                return true;
            },
            10000);
        output();
    }

    // The Weather Wire feed from the test's server, with the engine's own
    // account.
    bool useWeatherWire(const XmppServer& server, const QString& user, const QString& password)
    {
        SettingsStore store;
        NwwsSettings wire;
        wire.enabled = true;
        wire.user = user;
        wire.server = server.server();
        wire.caCert = server.certificate();
        wire.write(store);
        store.sync();
        QString error;
        return NwwsSettings::writePassword(programDir, password, &error);
    }

    void writeSettings(bool internetFeed)
    {
        SettingsStore store;
        const QString config = QStringLiteral("Config");
        store.write(config, QStringLiteral("TextPath"), textPath);
        store.write(config, QStringLiteral("GIFPath"), imagePath);
        store.write(config, QStringLiteral("SAPath"), hourlyPath);
        store.write(config, QStringLiteral("ArchivePath"), archivePath);
        store.write(config, QStringLiteral("TransferPath"), dataIn);
        store.write(config, QStringLiteral("EMail0"), QStringLiteral("wx@example.org"));
        store.write(config, QStringLiteral("WeathernodeMode"),
                    internetFeed ? QStringLiteral("True") : QStringLiteral("False"));
        store.write(config, QStringLiteral("NetworkMode"),
                    internetFeed ? QStringLiteral("False") : QStringLiteral("True"));
        store.write(config, QStringLiteral("PurgeVal"), QStringLiteral("0"));
        store.sync();
    }

    // Mail goes to the sink through the built mailer, which the program
    // finds beside itself.
    bool useMailServer(int port)
    {
        home.write(QStringLiteral(".local/share/vantorel/blat-output.txt"),
                   QStringLiteral("-port %1 -retrywait 0 -timeout 20\r\n").arg(port).toUtf8());
        return QProcess::execute(QStringLiteral(BLAT_EXECUTABLE),
                                 {QStringLiteral("-install"), QStringLiteral("127.0.0.1"),
                                  QStringLiteral("wx@example.org"), QStringLiteral("1"),
                                  QString::number(port)}) == 0;
    }

    void start()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        program.setProcessEnvironment(env);
        program.setWorkingDirectory(home.path());
        program.setProcessChannelMode(QProcess::MergedChannels);
        program.start(QStringLiteral(VANTOREL_PROGRAM), QStringList());
    }
    QString output() { return QString::fromLocal8Bit(log += program.readAll()).right(3000); }

    // The running program holds an inotify watch on the Data-In directory.
    bool watchesDataIn() const
    {
        struct stat info;
        if (::stat(QFile::encodeName(dataIn).constData(), &info) != 0)
            return false;
        const QByteArray inode = "ino:" + QByteArray::number(qulonglong(info.st_ino), 16) + ' ';
        const QDir fds(QStringLiteral("/proc/%1/fdinfo").arg(program.processId()));
        for (const QString& fd : fds.entryList(QDir::Files)) {
            const QByteArray text = readBytes(fds.filePath(fd));
            if (text.contains("inotify wd:") && text.contains(inode))
                return true;
        }
        return false;
    }

    Store filed() const { return storeOf({textPath, imagePath, hourlyPath}); }
    // Receipt file name -> the key it was filed under.
    Store receipts() const { return storeOf({programDir + QStringLiteral("track/emwin/")}); }
    // One line a drop.
    int dropped() const
    {
        return static_cast<int>(
            readBytes(programDir + QStringLiteral("track/duplicates.log")).count('\n'));
    }
    int quarantined() const
    {
        return static_cast<int>(
            QDir(programDir + QStringLiteral("track/bad/")).entryList(QDir::Files).size());
    }
    // What an engine said when it stopped: "NAME stopped: N written ...".
    int writtenBy(const QString& engine) const
    {
        const QRegularExpressionMatch m =
            QRegularExpression(QLatin1Char(' ') + QRegularExpression::escape(engine) +
                               QStringLiteral(" stopped: .*?(\\d+) written"))
                .match(QString::fromLocal8Bit(log));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    int waiting() const
    {
        return static_cast<int>(QDir(dataIn).entryList(QDir::Files | QDir::Hidden).size());
    }

    TestHome home;
    QString textPath = home.path() + QStringLiteral("/Weather/Data/");
    QString imagePath = home.path() + QStringLiteral("/Weather/Images/");
    QString hourlyPath = home.path() + QStringLiteral("/Weather/HourlyWX/");
    QString archivePath = home.path() + QStringLiteral("/Weather/Archive/");
    QString dataIn = home.path() + QStringLiteral("/Weather/In/");
    QString programDir = home.path() + QStringLiteral("/.local/share/vantorel/");
    QProcess program;
    QByteArray log;
};

// The product without the line ends and end-of-text that close it.
QByteArray withoutEndPadding(QByteArray bytes)
{
    while (bytes.endsWith('\r') || bytes.endsWith('\n') || bytes.endsWith('\x03'))
        bytes.chop(1);
    return bytes;
}

QByteArray headerOf(const QByteArray& message, const QByteArray& name)
{
    for (const QByteArray& line : message.left(message.indexOf("\r\n\r\n")).split('\n')) {
        if (line.startsWith(name + ": "))
            return line.mid(name.size() + 2).trimmed();
    }
    return QByteArray();
}

} // namespace

class TestEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void internetFeedToAlarmMail();
    void serialEngineIntoRunningProgram();
    void linkedFilesIntoRunningProgram();
    void bothFeedsFiledOnce();

private:
    QStringList m_names;
    Store m_expected;
};

void TestEndToEnd::initTestCase()
{
    for (const char* program :
         {VANTOREL_PROGRAM, ENGINE_PROGRAM, VTINGEST_PROGRAM, BLAT_EXECUTABLE})
        QVERIFY2(QFile::exists(QString::fromLocal8Bit(program)), program);
    m_names = productNames();
    QCOMPARE(m_names.size(), kProducts);
    QVERIFY(m_names.contains(QStringLiteral("AFDDMXIA.TXT")));
    m_expected = expectedStore(m_names);
    QCOMPARE(m_expected.size(), kProducts); // one key each
    QVERIFY(m_expected.contains(kAlarmKey));
}

void TestEndToEnd::internetFeedToAlarmMail()
{
    SmtpSink sink({});
    QVERIFY(sink.port > 0);
    LocalStreamServer server(streamOf(m_names));
    QVERIFY(server.port() > 0);

    UserSession user;
    user.writeSettings(true);
    // The user's server list, and an alarm that mails the user (E-mail 0)
    // when the Des Moines forecast discussion arrives.
    user.home.write(QStringLiteral(".local/share/vantorel/engine-servers.txt"),
                    (server.address() + QLatin1Char('\n')).toUtf8());
    user.home.write(QStringLiteral(".local/share/vantorel/alarm-v15.cfg"),
                    "\"" + kAlarmId.toLatin1() + "\",0,0,0,0,-1,0,-1,0,\"\",0,0,0,0\r\n");
    QVERIFY(user.useMailServer(sink.port));

    QElapsedTimer clock;
    clock.start();
    user.start();
    QVERIFY(user.program.waitForStarted(10000));
    QTRY_VERIFY2_WITH_TIMEOUT(user.filed().size() >= kProducts && user.waiting() == 0,
                              qPrintable(user.output()), 30000);
    const qint64 filedMs = clock.elapsed();
    QVERIFY(server.logons >= 1); // the program's engine connected to the user's server
    QCOMPARE(user.filed(), m_expected);

    QTRY_VERIFY2_WITH_TIMEOUT(!sink.messages().isEmpty(), qPrintable(user.output()), 30000);
    const SmtpSink::Message mail = sink.messages().first();
    QCOMPARE(headerOf(mail.data, "Subject"), kAlarmId.toLatin1());
    QCOMPARE(mail.envelope.value(QStringLiteral("rcpt_tos")).toArray().first().toString(),
             QStringLiteral("wx@example.org"));
    QVERIFY2(
        mail.data.contains("AREA FORECAST DISCUSSION\r\nNATIONAL WEATHER SERVICE DES MOINES IA"),
        mail.data.left(1500).constData());
    qInfo("Internet feed: %d products sent, %lld filed after %lld ms, alarm mail after %lld ms",
          kProducts, static_cast<long long>(user.filed().size()), static_cast<long long>(filedMs),
          static_cast<long long>(clock.elapsed()));
    QCOMPARE(sink.messages().size(), 1);
    QVERIFY2(user.program.state() == QProcess::Running, qPrintable(user.output()));
}

void TestEndToEnd::serialEngineIntoRunningProgram()
{
    PseudoTerminal receiver;
    QVERIFY(!receiver.slavePath().isEmpty());
    UserSession user;
    user.writeSettings(false);
    user.start();
    QVERIFY(user.program.waitForStarted(10000));

    QElapsedTimer clock;
    clock.start();
    QProcess engine;
    engine.setProcessChannelMode(QProcess::MergedChannels);
    engine.start(QStringLiteral(VTINGEST_PROGRAM),
                 {QStringLiteral("--headless"), QStringLiteral("--port"), receiver.slavePath()});
    QVERIFY(engine.waitForStarted(10000));
    QByteArray engineLog;
    QTRY_VERIFY_WITH_TIMEOUT((engineLog += engine.readAll()).contains("Receiving on"), 10000);
    receiver.send(QByteArray("line noise \x01\xff") + streamOf(m_names));
    QTRY_VERIFY2_WITH_TIMEOUT(user.filed().size() >= kProducts && user.waiting() == 0,
                              qPrintable(user.output() + engineLog.right(2000)), 30000);
    QCOMPARE(user.filed(), m_expected);
    qInfo("Serial engine: %d products sent, %lld filed after %lld ms", kProducts,
          static_cast<long long>(user.filed().size()), static_cast<long long>(clock.elapsed()));

    EngineLink link;
    link.send(QStringLiteral("SHUTDOWN"));
    QTRY_COMPARE_WITH_TIMEOUT(engine.state(), QProcess::NotRunning, 10000);
    QCOMPARE(engine.exitCode(), 0);
}

void TestEndToEnd::linkedFilesIntoRunningProgram()
{
    UserSession user;
    user.writeSettings(false);
    user.start();
    QVERIFY(user.program.waitForStarted(10000));
    // Written aside first, so that Data-In sees only the links.
    for (const QString& name : std::as_const(m_names))
        user.home.write(QStringLiteral("aside/") + name, product(name));
    QTRY_VERIFY_WITH_TIMEOUT(user.watchesDataIn(), 15000);

    QElapsedTimer clock;
    clock.start();
    for (const QString& name : std::as_const(m_names)) {
        const QByteArray from = QFile::encodeName(user.home.file(QStringLiteral("aside/") + name));
        const QByteArray to = QFile::encodeName(user.dataIn + name);
        QVERIFY(::link(from.constData(), to.constData()) == 0);
    }
    QTRY_VERIFY2_WITH_TIMEOUT(user.filed().size() >= kProducts && user.waiting() == 0,
                              qPrintable(user.output()), 30000);
    QCOMPARE(user.filed(), m_expected);
    qInfo("ln: %d products linked in, %lld filed after %lld ms", kProducts,
          static_cast<long long>(user.filed().size()), static_cast<long long>(clock.elapsed()));
}

// The same products through the stream and the Weather Wire at once, into
// one running program that started both engines from its settings: each is
// filed once, the second arrival of each dropped and logged.
void TestEndToEnd::bothFeedsFiledOnce()
{
    XmppServer xmpp;
    QVERIFY(xmpp.ok());
    const QString wireUser = QStringLiteral("wireuser");
    const QString wirePassword = QStringLiteral("wire-secret");
    QVERIFY(xmpp.addAccount(wireUser, wirePassword));
    NwwsSender sender(xmpp);
    QVERIFY(sender.ok());
    QVERIFY(xmpp.start());
    const QStringList names = namedAlikeByBothFeeds();
    QCOMPARE(names.size(), kProducts);
    const Store expected = expectedStore(names);
    QCOMPARE(expected.size(), kProducts);
    LocalStreamServer stream(streamOf(names));
    QVERIFY(stream.port() > 0);
    stream.hold();

    UserSession user;
    user.writeSettings(true);
    user.home.write(QStringLiteral(".local/share/vantorel/engine-servers.txt"),
                    (stream.address() + QLatin1Char('\n')).toUtf8());
    QVERIFY(user.useWeatherWire(xmpp, wireUser, wirePassword));

    QElapsedTimer clock;
    clock.start();
    user.start();
    QVERIFY(user.program.waitForStarted(10000));
    QStringList files;
    for (const QString& name : names)
        files << testDataPath(QStringLiteral("corpus/products/") + name);
    // posted once the program's engine is in the room; the stream joins in
    // half-way, so that either feed brings some products first
    sender.start(files, 1);
    QTRY_VERIFY2_WITH_TIMEOUT(sender.sent().size() >= kProducts / 2 || !sender.running(),
                              qPrintable(user.output()), 20000);
    stream.release();
    QVERIFY2(sender.waitForFinished(), qPrintable(user.output()));
    const int wireSent = static_cast<int>(sender.sent().size());
    QVERIFY(wireSent > kProducts / 2);
    // a product filed twice shows as a further version, one dropped in the log
    QTRY_VERIFY2_WITH_TIMEOUT(user.waiting() == 0 &&
                                  user.filed().size() + user.dropped() >= kProducts + wireSent,
                              qPrintable(user.output()), 30000);
    const qint64 filedMs = clock.elapsed();
    QVERIFY(stream.logons >= 1);
    // the feed that came first was filed: the Weather Wire carries no
    // end-of-text line
    const Store filed = user.filed();
    QCOMPARE(filed.keys(), expected.keys());
    int firstFromWire = 0;
    for (auto it = filed.cbegin(); it != filed.cend(); ++it) {
        QCOMPARE(withoutEndPadding(it.value()), withoutEndPadding(expected.value(it.key())));
        firstFromWire += it.value() != expected.value(it.key());
    }
    QStringList receiptKeys;
    for (const QByteArray& key : user.receipts())
        receiptKeys << QString::fromLatin1(key.trimmed());
    receiptKeys.sort();
    QCOMPARE(receiptKeys, expected.keys());
    QCOMPARE(user.dropped(), wireSent);
    QCOMPARE(user.quarantined(), 0);
    user.stopEngines();
    qInfo("Both feeds: %d products on the stream, %d on the Weather Wire; written by Engine %d, "
          "by NWWSEngine %d; %lld filed (%d first from the Weather Wire), %d duplicates dropped, "
          "all filed after %lld ms",
          kProducts, wireSent, user.writtenBy(QStringLiteral("Engine")),
          user.writtenBy(QStringLiteral("NWWSEngine")), static_cast<long long>(filed.size()),
          firstFromWire, user.dropped(), static_cast<long long>(filedMs));
    QVERIFY2(user.program.state() == QProcess::Running, qPrintable(user.output()));
}

QTEST_GUILESS_MAIN(TestEndToEnd)
#include "tst_endtoend.moc"
