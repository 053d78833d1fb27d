#include "TestSupport.h"
#include "core/MenuDefinitions.h"
#include "platform/RuntimeError.h"

#include <QRegularExpression>
#include <QTest>

Q_DECLARE_METATYPE(ErrorNumber)

namespace {

QByteArray itemLines(int count)
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes += "Item " + QByteArray::number(i) + ",AFD,3\n";
    return bytes;
}

} // namespace

class TestMenuDefinitions : public QObject
{
    Q_OBJECT
private slots:
    void buttons()
    {
        TestHome home;
        QByteArray text = "# comment\r\n\r\nLocal WX AFDGRR  \r\nTornado  TOR\r\nShort\r\n";
        for (int i = 0; i < 7; ++i)
            text += "Button " + QByteArray::number(i) + " X" + QByteArray::number(i) + "\r\n";
        MenuDefinitions m;
        m.loadButtons(home.write(QStringLiteral("Vantorel-Button.txt"), text));
        QCOMPARE(m.buttons().size(), MenuDefinitions::ButtonCount); // the tenth line is not read
        QCOMPARE(m.buttons().at(0).caption, QStringLiteral("Local WX "));
        QCOMPARE(m.buttons().at(0).tag, QStringLiteral("AFDGRR"));
        QCOMPARE(m.buttons().at(1).tag, QStringLiteral("TOR"));
        QCOMPARE(m.buttons().at(2).caption, QStringLiteral("Short"));
        QVERIFY(m.buttons().at(2).tag.isEmpty());
        QCOMPARE(m.buttons().last().tag, QStringLiteral("X5"));

        m.setButtonCaption(0, QStringLiteral("Radar"));
        m.setButtonCaption(20, QStringLiteral("Nowhere"));
        QCOMPARE(m.buttons().at(0).caption, QStringLiteral("Radar"));
        QCOMPARE(m.buttons().at(0).tag, QStringLiteral("AFDGRR"));
    }
    void mainMenuFixture()
    {
        MenuDefinitions m;
        m.loadMainMenu(testDataPath(QStringLiteral("tables/mainmenu.txt")));
        // "[Warnings] " with a trailing blank is no header: its item overwrote
        // the first entry of the section before it.
        QCOMPARE(m.section(0).size(), 2);
        QCOMPARE(m.section(0).at(0).caption, QStringLiteral("Overwritten"));
        QCOMPARE(m.section(0).at(1).caption, QStringLiteral("Zone Forecast"));
        QCOMPARE(m.section(0).at(1).tag, QStringLiteral("ZFP"));
        // An unknown header keeps the section and restarts it at index 0.
        QCOMPARE(m.section(1).size(), 2);
        QCOMPARE(m.section(1).at(0).tag, QStringLiteral("SVR"));
        QCOMPARE(m.section(1).at(1).tag, QStringLiteral("SELWCNWOU"));
        QVERIFY(m.section(6).isEmpty()); // after the end marker
        QVERIFY(m.section(8).isEmpty());

        QCOMPARE(m.menuItemCount(), 6);
        const MenuItem& afd = m.menuItems().at(1);
        QCOMPARE(afd.categories, QStringLiteral("AFD"));
        QCOMPARE(afd.caption, QStringLiteral("Area Forecast Discussion"));
        QCOMPARE(afd.retention, qint16(3));
        QCOMPARE(m.menuItems().at(0).caption, QStringLiteral("Early Item"));
        QCOMPARE(m.menuItems().at(5).retention, qint16(-1));
        QCOMPARE(m.menuItems().at(6).retention, qint16(4));

        QCOMPARE(m.officeCount(), 1);
        QCOMPARE(m.offices().at(0).office, QStringLiteral("GRR"));
        QCOMPARE(m.offices().at(0).retention, qint16(7));
        QCOMPARE(m.offices().at(1).retention, qint16(0));
        QCOMPARE(m.colourScheme(), std::optional<int>(1)); // 7 changes nothing
        QCOMPARE(m.fontSize(), std::optional<int>(14));
        QCOMPARE(m.automaticStateFilters(), QStringList({"MI", "GRR"}));
        QCOMPARE(m.restrictedAudioMinutes(), quint8(9));
        QVERIFY(!m.tooManyMenuItems());
    }
    void extraItemsStayInTable()
    {
        TestHome home;
        MenuDefinitions m;
        m.loadMainMenu(home.write(QStringLiteral("menu.txt"), "[River]\n" + itemLines(32)));
        QVERIFY(m.tooManyMenuItems());
        QCOMPARE(m.menuItemCount(), 31);
        QCOMPARE(m.section(4).size(), MenuDefinitions::ItemsPerSection);
        QCOMPARE(m.section(4).last().caption, QStringLiteral("Item 29"));
        QCOMPARE(m.colourScheme(), std::nullopt);
        QCOMPARE(m.restrictedAudioMinutes(), quint8(0));
    }
    void mainMenuFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<ErrorNumber>("error");
        QTest::newRow("two fields")
            << QByteArray("[Misc]\nCaption,ADM\n") << ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("retention not a number")
            << QByteArray("[Misc]\nCaption,ADM,3x\n") << ErrorNumber::TypeMismatch;
        QTest::newRow("retention empty")
            << QByteArray("Caption,ADM,\n") << ErrorNumber::TypeMismatch;
        QTest::newRow("office without comma")
            << QByteArray("[Offices]\nGRR 5\n") << ErrorNumber::InvalidCall;
        QTest::newRow("502 items")
            << "[Misc]\n" + itemLines(502) << ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("102 offices") << "[Offices]\n" + QByteArray("GRR,1\n").repeated(102)
                                     << ErrorNumber::SubscriptOutOfRange;
        QTest::newRow("minutes above 255")
            << QByteArray("[NUMBER OF MINUTES TO PLAY RESTRICTED AUDIO ALARMS]\n256\n")
            << ErrorNumber::Overflow;
    }
    void mainMenuFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(ErrorNumber, error);
        TestHome home;
        MenuDefinitions m;
        try {
            m.loadMainMenu(home.write(QStringLiteral("Vantorel-MainMenu.txt"), content));
            QFAIL("no error");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), error);
            QVERIFY2(e.text().contains(QStringLiteral("Vantorel-MainMenu.txt line")),
                     qPrintable(e.text()));
        }
    }
    void quickItems()
    {
        TestHome home;
        QByteArray text = "# comment\nFTMGRR*Grand Rapids Terminal Forecast\nAFDGRR\n\nA*B*C\n";
        text += QByteArray("X\n").repeated(30);
        MenuDefinitions m;
        m.loadQuick(home.write(QStringLiteral("Vantorel-Quick.txt"), text));
        QCOMPARE(m.quickItems().size(), MenuDefinitions::QuickCount);
        QCOMPARE(m.quickItems().at(0).caption, QStringLiteral("Grand Rapids Terminal Forecast"));
        QCOMPARE(m.quickItems().at(0).tag, QStringLiteral("FTMGRR"));
        QCOMPARE(m.quickItems().at(1).caption, QStringLiteral("AFDGRR"));
        QCOMPARE(m.quickItems().at(1).tag, QStringLiteral("AFDGRR"));
        QVERIFY(m.quickItems().at(2).caption.isEmpty()); // an empty line is an item
        QCOMPARE(m.quickItems().at(3).tag, QStringLiteral("A"));
        QCOMPARE(m.quickItems().at(3).caption, QStringLiteral("B*C"));

        try {
            m.loadQuick(home.file(QStringLiteral("missing.txt")));
            QFAIL("missing file loaded");
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::FileNotFound);
        }
    }
    void shippedDefinitionsLoad()
    {
        const QString dir = QStringLiteral(VANTOREL_SOURCE_DATA_DIR "/");
        MenuDefinitions m;
        m.loadButtons(dir + QStringLiteral("Vantorel-Button.txt"));
        m.loadMainMenu(dir + QStringLiteral("Vantorel-MainMenu.txt"));
        m.loadQuick(dir + QStringLiteral("Vantorel-Quick.txt"));

        QCOMPARE(m.buttons().size(), MenuDefinitions::ButtonCount);
        const QRegularExpression request(QStringLiteral("^[A-Z0-9]{3,9}$"));
        for (const MenuEntry& button : m.buttons())
            QVERIFY2(request.match(button.tag).hasMatch(), qPrintable(button.tag));

        QVERIFY(!m.tooManyMenuItems());
        const QRegularExpression categories(QStringLiteral("^([A-Z0-9]{3}){1,4}$"));
        for (int s = 0; s < MenuDefinitions::SectionCount; ++s) {
            QVERIFY2(!m.section(s).isEmpty(), qPrintable(QString::number(s)));
            for (const MenuEntry& entry : m.section(s))
                QVERIFY2(categories.match(entry.tag).hasMatch(), qPrintable(entry.tag));
        }
        QCOMPARE(m.menuItems().first().categories, QStringLiteral("AFD"));
        QCOMPARE(m.officeCount(), 2);
        QCOMPARE(m.colourScheme(), std::optional<int>(0));
        QCOMPARE(m.fontSize(), std::nullopt);
        QVERIFY(m.automaticStateFilters().isEmpty());
        QCOMPARE(m.restrictedAudioMinutes(), quint8(5));

        QVERIFY(!m.quickItems().isEmpty());
        for (const MenuEntry& item : m.quickItems())
            QVERIFY2(request.match(item.tag).hasMatch() && !item.caption.isEmpty(),
                     qPrintable(item.tag));
    }
};

QTEST_GUILESS_MAIN(TestMenuDefinitions)
#include "tst_menudefinitions.moc"
