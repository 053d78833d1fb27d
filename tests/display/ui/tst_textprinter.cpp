#include "TestSupport.h"
#include "display/BulletinPrinter.h"
#include "display/ui/QtTextPrinter.h"

#include <QApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class NoPrinter : public ITextPrinter
{
public:
    bool printText(const QString& text, int) override
    {
        ++calls;
        printed = text;
        return true;
    }
    int calls = 0;
    QString printed;
};
} // namespace

class TestTextPrinter : public QObject
{
    Q_OBJECT
private slots:
    void printsToPdf()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is not installed");
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        QtTextPrinter printer(pdf);
        ScriptedPrompter prompter;
        BulletinPrinter print(printer, prompter);
        QString text;
        for (int i = 0; i < 120; ++i) // more than one page
            text += QStringLiteral("LINE %1 TORNADO WARNING\r\r\n").arg(i, 3, 10, QLatin1Char('0'));
        QVERIFY(print.print(text, 12));
        QVERIFY(prompter.messages.isEmpty());
        const QString printed = pdfText(pdf);
        QVERIFY2(printed.contains(QStringLiteral("LINE 000 TORNADO WARNING")), qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("LINE 119 TORNADO WARNING")));
        QVERIFY(printed.contains(QLatin1Char('\f'))); // a page break
    }
    void nothingToPrint()
    {
        NoPrinter printer;
        ScriptedPrompter prompter;
        BulletinPrinter print(printer, prompter);
        QVERIFY(!print.print(QString(), 12));
        QVERIFY(!print.print(QStringLiteral("     --- Product not available ---"), 12));
        QCOMPARE(printer.calls, 0);
        QCOMPARE(prompter.messages.size(), 2);
        QCOMPARE(prompter.messages[0].text, QStringLiteral("No bulletin displayed"));
        QCOMPARE(prompter.messages[0].title, QString());
        QCOMPARE(prompter.messages[0].icon, IPrompter::Icon::Information);
    }
    void printableText()
    {
        QCOMPARE(BulletinPrinter::printableText(QStringLiteral("A\r\r\nB")),
                 QStringLiteral("\r\nA\r\nB\r\n\r\n\r\n"));
    }
    void printShownPrintsTheArea_data()
    {
        QTest::addColumn<QString>("area"); // the text in the bulletin area, edits included
        QTest::addColumn<QString>("printed");
        QTest::newRow("edited bulletin") << "TORNADO WARNING\nKENT COUNTY"
                                         << "\r\nTORNADO WARNING\nKENT COUNTY\r\n\r\n\r\n";
        QTest::newRow("zone segment on show") << "MIZ050-\nKENT"
                                              << "\r\nMIZ050-\nKENT\r\n\r\n\r\n";
        QTest::newRow("empty area") << ""
                                    << "(nothing)";
        QTest::newRow("not-available text") << "     --- Product not available ---"
                                            << "(nothing)";
    }
    // Print prints what the area shows, not the text first put there.
    void printShownPrintsTheArea()
    {
        QFETCH(QString, area);
        QFETCH(QString, printed);
        NoPrinter printer;
        ScriptedPrompter prompter;
        BulletinPrinter print(printer, prompter);
        const bool done = print.printShown(area, 12);
        QCOMPARE(done ? printer.printed : QStringLiteral("(nothing)"), printed);
        QCOMPARE(prompter.messages.size(), done ? 0 : 1);
    }
};

QTEST_MAIN(TestTextPrinter)
#include "tst_textprinter.moc"
