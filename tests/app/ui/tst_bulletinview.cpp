#include "app/ui/BulletinView.h"

#include <QTest>

// The bulletin area can be read, selected and navigated but not typed into.
class TestBulletinView : public QObject
{
    Q_OBJECT
private slots:
    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("cursorMoves");
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << false;
        QTest::newRow("shifted letter") << int(Qt::Key_A) << int(Qt::ShiftModifier) << "A" << false;
        QTest::newRow("space") << int(Qt::Key_Space) << 0 << " " << false;
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << 0 << "" << false;
        QTest::newRow("delete") << int(Qt::Key_Delete) << 0 << "" << false;
        QTest::newRow("return") << int(Qt::Key_Return) << 0 << "" << false;
        QTest::newRow("tab") << int(Qt::Key_Tab) << 0 << "" << false;
        QTest::newRow("paste") << int(Qt::Key_V) << int(Qt::ControlModifier) << "" << false;
        QTest::newRow("cut") << int(Qt::Key_X) << int(Qt::ControlModifier) << "" << false;
        QTest::newRow("undo") << int(Qt::Key_Z) << int(Qt::ControlModifier) << "" << false;
        QTest::newRow("end") << int(Qt::Key_End) << 0 << "" << true;
        QTest::newRow("down") << int(Qt::Key_Down) << 0 << "" << true;
        QTest::newRow("select to end")
            << int(Qt::Key_End) << int(Qt::ControlModifier | Qt::ShiftModifier) << "" << true;
    }
    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, typed);
        const QString text = QStringLiteral("WFUS53 KDTX 061827\nTORDTX\nTornado Warning");
        BulletinView view;
        view.showText(QString(text).replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        QCOMPARE(view.toPlainText(), text);
        QCOMPARE(view.textCursor().position(), 0);
        QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (!typed.isEmpty())
            QTest::keyClicks(&view, typed);
        QCOMPARE(view.toPlainText(), text);
        QTEST(view.textCursor().position() > 0, "cursorMoves");
    }
};

QTEST_MAIN(TestBulletinView)
#include "tst_bulletinview.moc"
