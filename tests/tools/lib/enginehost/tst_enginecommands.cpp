#include "TestSupport.h"

#include "EngineCommandServer.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

class TestEngineCommands : public QObject
{
    Q_OBJECT
private slots:
    void commands_data()
    {
        QTest::addColumn<QByteArray>("sent");
        QTest::addColumn<int>("hides");
        QTest::addColumn<int>("shows");
        QTest::addColumn<int>("shutdowns");
        QTest::newRow("hide") << QByteArray("HIDE\n") << 1 << 0 << 0;
        QTest::newRow("hide twice") << QByteArray("HIDE\nHIDE\n") << 2 << 0 << 0;
        QTest::newRow("show") << QByteArray("SHOW\n") << 0 << 1 << 0;
        QTest::newRow("two lines, one write") << QByteArray("HIDE\r\nSHUTDOWN\n") << 1 << 0 << 1;
        QTest::newRow("lower case, blanks") << QByteArray("  shutdown \n") << 0 << 0 << 1;
        QTest::newRow("unknown") << QByteArray("FORMAT C:\n") << 0 << 0 << 0;
        QTest::newRow("no line end yet") << QByteArray("HIDE") << 0 << 0 << 0;
        QTest::newRow("endless line dropped") << QByteArray(5000, 'H') + "\nHIDE\n" << 0 << 0 << 0;
    }
    void commands()
    {
        QFETCH(QByteArray, sent);
        QTemporaryDir runtime;
        QFile::setPermissions(runtime.path(),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
        EngineCommandServer server(QStringLiteral("Engine"));
        QString error;
        QVERIFY2(server.listen(&error), qPrintable(error));
        QSignalSpy hides(&server, &EngineCommandServer::hideRequested);
        QSignalSpy shows(&server, &EngineCommandServer::showRequested);
        QSignalSpy shutdowns(&server, &EngineCommandServer::shutdownRequested);
        QSignalSpy accepted(server.findChild<QLocalServer*>(), &QLocalServer::newConnection);
        QLocalSocket client;
        client.connectToServer(EngineCommandServer::serverPathFor(QStringLiteral("Engine")));
        QVERIFY(client.waitForConnected(2000));
        client.write(sent);
        client.flush();
        client.disconnectFromServer();
        // The server has read everything once its end of the connection is gone.
        QTRY_VERIFY(!accepted.isEmpty() && server.findChildren<QLocalSocket*>().isEmpty());
        QTEST(int(hides.size()), "hides");
        QTEST(int(shows.size()), "shows");
        QTEST(int(shutdowns.size()), "shutdowns");
        // a second engine of the same kind does not take the socket over
        EngineCommandServer second(QStringLiteral("Engine"));
        QVERIFY(!second.listen(&error));
        QVERIFY(error.contains(QStringLiteral("already listens")));
    }
};

QTEST_GUILESS_MAIN(TestEngineCommands)
#include "tst_enginecommands.moc"
