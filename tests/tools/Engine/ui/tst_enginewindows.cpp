#include "InternetEngine.h"
#include "ServerListDialog.h"
#include "TestSupport.h"
#include "ui/EngineWindow.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

// The Internet engine's window shows each message of the engine once,
// whether the engine or its ingest pipeline said it.

class TestEngineWindows : public QObject
{
    Q_OBJECT
private slots:
    void editAndSave()
    {
        TestHome home;
        home.write(QStringLiteral("received.txt"), "adv.example:2211\n");
        InternetEngine engine(config(home));
        ServerListDialog dialog(engine);
        enter(dialog, QStringLiteral("not a server"));
        QVERIFY(said(dialog).contains(QStringLiteral("is not a server address")));
        enter(dialog, QStringLiteral("a.example:2211"));
        enter(dialog, QStringLiteral(" b.example:1000 "));
        enter(dialog, QStringLiteral("a.example:2211"));
        QVERIFY(said(dialog).contains(QStringLiteral("in the list already")));
        enter(dialog, QStringLiteral("c.example:2211"));
        QCOMPARE(shown(dialog),
                 (QStringList{"a.example:2211", "b.example:1000", "c.example:2211"}));
        button(dialog, QStringLiteral("Up"))->click(); // c is selected: one up
        QCOMPARE(shown(dialog),
                 (QStringList{"a.example:2211", "c.example:2211", "b.example:1000"}));
        dialog.findChildren<QListWidget*>().first()->setCurrentRow(0);
        button(dialog, QStringLiteral("Remove"))->click();
        QCOMPARE(shown(dialog), (QStringList{"c.example:2211", "b.example:1000"}));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
        QCOMPARE(readBytes(home.file(QStringLiteral("servers.txt"))),
                 QByteArray("c.example:2211\nb.example:1000\n"));
        QStringList candidates;
        for (const auto& s : engine.servers().servers())
            candidates << s.text();
        QCOMPARE(candidates, (QStringList{"c.example:2211", "b.example:1000", "adv.example:2211"}));
    }
    // "Test" on a server that takes the connection and says nothing, then hangs up.
    void testConnectsOnce()
    {
        TestHome home;
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost, 0));
        int connections = 0;
        connect(&server, &QTcpServer::newConnection, this, [&] {
            while (QTcpSocket* s = server.nextPendingConnection()) {
                ++connections;
                connect(s, &QTcpSocket::readyRead, s, [s] { s->disconnectFromHost(); });
            }
        });
        InternetEngine engine(config(home));
        ServerListDialog dialog(engine);
        enter(dialog, QStringLiteral("127.0.0.1:%1").arg(server.serverPort()));
        button(dialog, QStringLiteral("Test"))->click();
        QTRY_VERIFY_WITH_TIMEOUT(said(dialog).contains(QStringLiteral("Connected, 0 packets")),
                                 10000);
        QVERIFY(said(dialog).contains(QStringLiteral("closed by the server")));
        QCOMPARE(connections, 1);
        QVERIFY(!QFile::exists(home.file(QStringLiteral("servers.txt")))); // not saved by a test
    }

private:
    static QPushButton* button(QDialog& d, const QString& text)
    {
        for (QPushButton* b : d.findChildren<QPushButton*>()) {
            if (b->text().remove(QLatin1Char('&')) == text)
                return b;
        }
        return nullptr;
    }
    static void enter(QDialog& d, const QString& text)
    {
        QLineEdit* entry = d.findChild<QLineEdit*>();
        entry->setText(text);
        button(d, QStringLiteral("Add"))->click();
    }
    static QStringList shown(QDialog& d)
    {
        QStringList items;
        const QListWidget* list = d.findChildren<QListWidget*>().first();
        for (int i = 0; i < list->count(); ++i)
            items << list->item(i)->text();
        return items;
    }
    static QString said(QDialog& d)
    {
        QStringList texts;
        for (const QLabel* l : d.findChildren<QLabel*>())
            texts << l->text();
        return texts.join(QLatin1Char('\n'));
    }

    InternetEngine::Config config(const TestHome& home) const
    {
        InternetEngine::Config c;
        c.dataIn = home.file(QStringLiteral("in"));
        c.serverListPath = home.file(QStringLiteral("servers.txt"));
        c.receivedListPath = home.file(QStringLiteral("received.txt"));
        return c;
    }

private slots:
    void eachMessageShownOnce_data()
    {
        QTest::addColumn<bool>("fromPipeline");
        QTest::newRow("engine") << false;
        QTest::newRow("pipeline") << true;
    }
    void eachMessageShownOnce()
    {
        QFETCH(bool, fromPipeline);
        TestHome home;
        InternetEngine::Config c;
        c.dataIn = home.file(QStringLiteral("in"));
        c.serverListPath = home.file(QStringLiteral("servers.txt"));
        c.receivedListPath = home.file(QStringLiteral("received.txt"));
        InternetEngine engine(c);
        EngineWindow window(engine);
        const QString text = QStringLiteral("Could not write A.TXT (attempt 1 of 6)");
        if (fromPipeline)
            emit engine.pipeline().logMessage(text);
        else
            emit engine.logMessage(text);
        auto* messages = window.findChild<QListWidget*>(QStringLiteral("messages"));
        QVERIFY(messages);
        QStringList shown;
        for (int i = 0; i < messages->count(); ++i)
            shown << messages->item(i)->text();
        QCOMPARE(shown.filter(text).size(), 1);
    }
};

QTEST_MAIN(TestEngineWindows)
#include "tst_enginewindows.moc"
