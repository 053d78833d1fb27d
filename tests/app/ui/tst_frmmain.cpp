#include "TestSupport.h"
#include "app/MainState.h"
#include "app/ui/frmMain.h"
#include "display/BulletinDisplay.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStackedWidget>
#include <QTest>
#include <memory>

namespace {
struct Fixture : StateFixture
{
    std::unique_ptr<frmMain> window;

    Fixture()
    {
        window = std::make_unique<frmMain>(state);
        window->showDisplay();
        window->resize(723, 515);
        window->show();
    }
    QListView* list(int n) const
    {
        return window->findChild<QListView*>(QStringLiteral("List%1").arg(n));
    }
    QPlainTextEdit* display() const { return window->findChild<QPlainTextEdit*>("txtDisplay"); }
};
} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT
private slots:
    void listsShowModels()
    {
        Fixture f;
        QCOMPARE(f.list(2)->model(), &f.state.lists.live());
        QVERIFY(f.list(1)->font().family().contains(QStringLiteral("Courier")) ||
                f.list(1)->font().styleHint() == QFont::TypeWriter);
        auto* stack = f.window->findChild<QStackedWidget*>();
        QCOMPARE(stack->currentWidget(), f.list(2)); // "Live" at start
        f.state.lists.showList(ListKind::Alarmed);
        QCOMPARE(stack->currentWidget(), f.list(4));
        f.state.lists.showList(ListKind::Filtered);
        QCOMPARE(stack->currentWidget(), f.list(1));
    }
    void clickShowsProduct()
    {
        Fixture f;
        f.home.write(QStringLiteral("text/AFDGRR   ~KGRR~MI"),
                     "\x01\r\r\n123 \r\r\nAFD TEXT\r\r\n");
        f.state.lists.live().insertTop(QStringLiteral("AFDGRR   ~KGRR~MI"), 150);
        QListView* live = f.list(2);
        live->selectionModel()->select(live->model()->index(0, 0),
                                       QItemSelectionModel::ClearAndSelect);
        QCOMPARE(f.state.display.tag(), QStringLiteral("AFDGRR   ~KGRR~MI"));
        QCOMPARE(f.display()->toPlainText(), QStringLiteral("123 \nAFD TEXT\n"));
        // A new entry on top clears the selection.
        f.state.lists.live().insertTop(QStringLiteral("X"), 150);
        QVERIFY(!live->selectionModel()->hasSelection());
    }
    void layoutFollowsWidth()
    {
        Fixture f;
        f.window->resize(1000, 600);
        QApplication::processEvents();
        // Short entries: lists 2445 twips (163 px); the area is wider by the window's growth.
        QCOMPARE(f.list(1)->parentWidget()->width(), 163);
        QCOMPARE(f.display()->width(), qRound((1000 * 15 - 10845 + 8275) / 15.0));
    }
    void compactModeTwice()
    {
        Fixture f;
        auto* shrink = f.window->findChild<QPushButton*>(QStringLiteral("cmdShrink"));
        const QList<QAction*> headers = f.window->menuBar()->actions();
        f.window->cmdShrink_Click();
        QApplication::processEvents();
        QCOMPARE(shrink->text(), QStringLiteral(">"));
        QCOMPARE(shrink->toolTip(), QStringLiteral("Expand Screen"));
        QVERIFY(!headers[4]->isVisible() && !headers[5]->isVisible() && !headers[6]->isVisible());
        QVERIFY(headers[3]->isVisible());
        QCOMPARE(f.window->width(), qRound(2535 / 15.0));
        f.window->cmdShrink_Click();
        QApplication::processEvents();
        QCOMPARE(shrink->text(), QStringLiteral("<"));
        QCOMPARE(f.window->width(), 723);
        QVERIFY(headers[4]->isVisible() && headers[6]->isVisible());
    }
    void functionKeysWithoutModifiers()
    {
        Fixture f;
        QApplication::setActiveWindow(f.window.get());
        f.state.display.setDisplay(QStringLiteral("TORNADO"), QString());
        QTest::keyClick(f.window.get(), Qt::Key_F3, Qt::ShiftModifier);
        QCOMPARE(f.prompter.messages.size(), 0);
        f.prompter.inputs << QStringLiteral("missing");
        QTest::keyClick(f.window.get(), Qt::Key_F3);
        QCOMPARE(f.prompter.messages.size(), 1);
        QCOMPARE(f.prompter.messages[0].text, QStringLiteral("String not found."));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
