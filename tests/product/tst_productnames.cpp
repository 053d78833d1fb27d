// Product file names and product keys: the parts the program files and finds
// a product by, and the key read back from a stored file name.

#include "TestSupport.h"

#include "product/ProductKey.h"
#include "product/ProductName.h"

#include <QDir>
#include <QtTest>

class tst_productnames : public QObject
{
    Q_OBJECT
private slots:
    void names_data()
    {
        QTest::addColumn<QString>("given");
        // fileName|name|category|office|state|extension|suffix
        QTest::addColumn<QString>("parts");
        QTest::newRow("text product") << "AFDGRRMI.TXT"
                                      << "AFDGRRMI.TXT|AFDGRRMI|AFD|GRR|MI|TXT|";
        QTest::newRow("second of the same name") << "afdgrrmi.txt@2"
                                                 << "AFDGRRMI.TXT|AFDGRRMI|AFD|GRR|MI|TXT|2";
        QTest::newRow("@ inside the 8 characters") << "AFD@RRMI.TXT"
                                                   << "AFD|AFD@RRMI|AFD|@RR|||RRMI.TXT";
        QTest::newRow("image") << "RADUSAPN.GIF"
                               << "RADUSAPN.GIF|RADUSAPN|RAD|USA|PN|GIF|";
        QTest::newRow("compressed collection") << "SAHOURLY.ZIS"
                                               << "SAHOURLY.ZIS|SAHOURLY|SAH|OUR|LY|ZIS|";
        QTest::newRow("short, no extension") << "ABC"
                                             << "ABC|ABC|ABC||||";
        QTest::newRow("two @") << "A.B@1@2"
                               << "A.B|A.B@1@2|A.B|@1@||B|1@2";
    }
    void names()
    {
        QFETCH(QString, given);
        QFETCH(QString, parts);
        const auto n = ProductName::parse(given);
        QVERIFY(n);
        QCOMPARE(QStringList({n->fileName(), n->name(), n->category(), n->office(), n->state(),
                              n->extension(), n->suffix()})
                     .join(QLatin1Char('|')),
                 parts);
        QCOMPARE(n->received(), given.toUpper());
        QVERIFY(!ProductName::parse(QString()));
    }

    // Names typed by the user are joined to a store directory.
    void typedNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("valid");
        QTest::newRow("key") << "AFDGRR   ~KGRR~MI" << true;
        QTest::newRow("version") << "AFDGRR   ~KGRR~MI.2" << true;
        QTest::newRow("wildcards") << "AFD???*" << true;
        QTest::newRow("image") << "RADUSAPN-12051507.GIF" << false; // "-" is not allowed
        QTest::newRow("parent") << ".." << false;
        QTest::newRow("path") << "../etc/passwd" << false;
        QTest::newRow("lower case") << "afdgrr" << false;
        QTest::newRow("empty") << "" << false;
    }
    void typedNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, valid);
        QCOMPARE(ProductName::isValid(name), valid);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("text");
        // identifier|station|state|version|category|office; empty: refused
        QTest::addColumn<QString>("parts");
        QTest::newRow("key") << "AFDGRR   ~KGRR~MI"
                             << "AFDGRR|KGRR|MI|0|AFD|GRR";
        QTest::newRow("nine characters") << "FEEDBACK1~KWBC~US"
                                         << "FEEDBACK1|KWBC|US|0|FEE|DBA";
        QTest::newRow("older version") << "AFDGRR   ~KGRR~MI.3"
                                       << "AFDGRR|KGRR|MI|3|AFD|GRR";
        QTest::newRow("version 12") << "AFDGRR   ~KGRR~MI.12"
                                    << "AFDGRR|KGRR|MI|12|AFD|GRR";
        QTest::newRow("no station") << "AFDGRR   ~~MI"
                                    << "AFDGRR||MI|0|AFD|GRR";
        QTest::newRow("one-letter state, version") << "ABCDEFG  ~KGRR~G.1"
                                                   << "ABCDEFG|KGRR|G|1|ABC|DEF";
        QTest::newRow("state ending in a dot") << "ABCDEFG. ~KGRR~G."
                                               << "ABCDEFG.|KGRR|G.|0|ABC|DEF";
        QTest::newRow("state ending in a dot, version") << "ABCDEFG. ~KGRR~G..2"
                                                        << "ABCDEFG.|KGRR|G.|2|ABC|DEF";
        QTest::newRow("blank inside a derived identifier") << "AB CD.TX ~KGRR~.T"
                                                           << "AB CD.TX|KGRR|.T|0|AB |CD.";
        QTest::newRow("version 0") << "AFDGRR   ~KGRR~MI.0"
                                   << "";
        QTest::newRow("version with sign") << "AFDGRR   ~KGRR~MI.+1"
                                           << "";
        QTest::newRow("tilde moved") << "AFDGRR  ~KGRR~MI"
                                     << "";
        QTest::newRow("leading blank") << " AFDGRR  ~KGRR~MI"
                                       << "";
        QTest::newRow("one tilde") << "AFDGRR   ~KGRRMI"
                                   << "";
        QTest::newRow("three tildes") << "AFDGRR   ~KGRR~MI~X"
                                      << "";
        QTest::newRow("path separator") << "AFDGRR   ~../~MI"
                                        << "";
        QTest::newRow("control character") << "AFDGRR   ~KG\nR~MI"
                                           << "";
        QTest::newRow("image name") << "RADUSAPN-12051507.GIF"
                                    << "";
    }
    void keys()
    {
        QFETCH(QString, text);
        QFETCH(QString, parts);
        const auto key = ProductKey::parse(text);
        QCOMPARE(key.has_value(), !parts.isEmpty());
        if (!key)
            return;
        QCOMPARE(QStringList({key->identifier(), key->station(), key->state(),
                              QString::number(key->version()), key->category(), key->office()})
                     .join(QLatin1Char('|')),
                 parts);
        // Made from its parts, the key is the stored name again.
        const ProductKey made = ProductKey::make(key->identifier(), key->station(), key->state());
        QCOMPARE(made.fileName(key->version()), text);
    }
};

QTEST_GUILESS_MAIN(tst_productnames)
#include "tst_productnames.moc"
