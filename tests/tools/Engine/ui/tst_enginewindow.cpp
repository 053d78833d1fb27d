#include "InternetEngine.h"
#include "TestSupport.h"
#include "ui/EngineWindow.h"

#include <QListWidget>
#include <QTest>

// The Internet engine's window shows each message of the engine once,
// whether the engine or its ingest pipeline said it.
class TestEngineWindow : public QObject
{
    Q_OBJECT
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

QTEST_MAIN(TestEngineWindow)
#include "tst_enginewindow.moc"
