#include "platform/RegExpMatcher.h"
#include "platform/RuntimeError.h"

#include <QTest>

class TestRegExpMatcher : public QObject
{
    Q_OBJECT
private slots:
    void matchSearchesAnywhere_data();
    void matchSearchesAnywhere();
    void invalidExpressionThrowsFromMatch();
};

void TestRegExpMatcher::matchSearchesAnywhere_data()
{
    QTest::addColumn<QString>("expression");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("matches");
    QTest::newRow("inside") << "GRR"
                            << "TORGRR" << true;
    QTest::newRow("dot is any character") << "TOR..."
                                          << "TORDTX" << true;
    QTest::newRow("alternatives") << "(TOR|SVR|FFW)GRR"
                                  << "SVRGRR" << true;
    QTest::newRow("no alternative fits") << "(TOR|SVR|FFW)GRR"
                                         << "AFDGRR" << false;
    QTest::newRow("case counts") << "torgrr"
                                 << "TORGRR" << false;
    QTest::newRow("empty expression") << ""
                                      << "AFDGRR" << true;
}

void TestRegExpMatcher::matchSearchesAnywhere()
{
    QFETCH(QString, expression);
    QFETCH(QString, text);
    QFETCH(bool, matches);
    RegExpMatcher matcher;
    matcher.setExpression(expression);
    QCOMPARE(matcher.expression(), expression);
    QCOMPARE(matcher.Match(text), matches);
}

void TestRegExpMatcher::invalidExpressionThrowsFromMatch()
{
    RegExpMatcher matcher;
    matcher.setExpression(QStringLiteral("TOR(GRR")); // storing does not fail
    QVERIFY(!matcher.isValid());
    try {
        matcher.Match(QStringLiteral("TORGRR"));
        QFAIL("no error for an unbalanced parenthesis");
    } catch (const RuntimeError& error) {
        QCOMPARE(error.number(), ErrorNumber::InvalidExpression);
        QVERIFY(error.text().contains(QStringLiteral("TOR(GRR")));
    }
    matcher.setExpression(QStringLiteral("123456789"));
    QVERIFY(!matcher.Match(QStringLiteral("TORGRR")));
}

QTEST_GUILESS_MAIN(TestRegExpMatcher)
#include "tst_regexpmatcher.moc"
