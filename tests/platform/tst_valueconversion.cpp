#include "platform/RuntimeError.h"
#include "platform/ValueConversion.h"

#include <QTest>

class TestValueConversion : public QObject
{
    Q_OBJECT
private slots:
    void lenientNumber_data();
    void lenientNumber();
    void roundingIntoRange();
    void strictConversions();
    void truthValues();
    void writtenForms();
};

void TestValueConversion::lenientNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << "12" << 12.0;
    QTest::newRow("leading blank") << " 3" << 3.0;
    QTest::newRow("trailing letters") << "5x" << 5.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("blank") << "   " << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("negative") << "-1" << -1.0;
    QTest::newRow("decimal") << "2.5 hours" << 2.5;
    QTest::newRow("blanks inside") << "1 2" << 12.0;
    QTest::newRow("exponent") << "1E3" << 1000.0;
    QTest::newRow("dangling exponent") << "5E" << 5.0;
    QTest::newRow("comma stops") << "7,8" << 7.0;
}

void TestValueConversion::lenientNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(ValueConversion::lenientNumber(text), value);
}

void TestValueConversion::roundingIntoRange()
{
    QCOMPARE(ValueConversion::lenientByte("2.5"), std::uint8_t(2)); // half to even
    QCOMPARE(ValueConversion::lenientByte("3.5"), std::uint8_t(4));
    QCOMPARE(ValueConversion::lenientByte("300"), std::uint8_t(255));
    QCOMPARE(ValueConversion::lenientByte("-4"), std::uint8_t(0));
    QCOMPARE(ValueConversion::lenientInt16("99999"), std::int16_t(32767));
    QCOMPARE(ValueConversion::lenientInt16("-99999"), std::int16_t(-32768));
    QCOMPARE(ValueConversion::checkedInt16(" 1"), std::int16_t(1));
    try {
        ValueConversion::checkedInt16("40000");
        QFAIL("no overflow raised");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), ErrorNumber::Overflow);
    }
}

void TestValueConversion::strictConversions()
{
    QCOMPARE(ValueConversion::strictInt16(" 1 "), std::int16_t(1));
    QCOMPARE(ValueConversion::strictInt16("-1"), std::int16_t(-1));
    QCOMPARE(ValueConversion::strictByte("0"), std::uint8_t(0));
    const QStringList mismatches = {"", "5x", "abc", "1 2"};
    for (const QString& text : mismatches) {
        try {
            ValueConversion::strictInt16(text);
            QFAIL(qPrintable("accepted " + text));
        } catch (const RuntimeError& e) {
            QCOMPARE(e.number(), ErrorNumber::TypeMismatch);
        }
    }
    try {
        ValueConversion::strictByte("256");
        QFAIL("no overflow raised");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), ErrorNumber::Overflow);
    }
}

void TestValueConversion::truthValues()
{
    QVERIFY(ValueConversion::truthValue("True"));
    QVERIFY(ValueConversion::truthValue("TRUE"));
    QVERIFY(!ValueConversion::truthValue("false"));
    QVERIFY(ValueConversion::truthValue("-1"));
    QVERIFY(ValueConversion::truthValue(" 1"));
    QVERIFY(!ValueConversion::truthValue("0"));
    try {
        ValueConversion::truthValue("yes");
        QFAIL("accepted yes");
    } catch (const RuntimeError& e) {
        QCOMPARE(e.number(), ErrorNumber::TypeMismatch);
    }
}

void TestValueConversion::writtenForms()
{
    QCOMPARE(ValueConversion::numberText(3), QStringLiteral(" 3"));
    QCOMPARE(ValueConversion::numberText(0), QStringLiteral(" 0"));
    QCOMPARE(ValueConversion::numberText(-1), QStringLiteral("-1"));
    QCOMPARE(ValueConversion::numberText(12.5), QStringLiteral(" 12.5"));
    QCOMPARE(ValueConversion::plainNumber(1), QStringLiteral("1"));
    QCOMPARE(ValueConversion::trueFalse(true), QStringLiteral("True"));
    // What is written reads back to the same value.
    for (double v : {0.0, 1.0, -1.0, 255.0, 32767.0, -32768.0})
        QCOMPARE(double(ValueConversion::strictInt16(ValueConversion::numberText(v))), v);
}

QTEST_GUILESS_MAIN(TestValueConversion)
#include "tst_valueconversion.moc"
