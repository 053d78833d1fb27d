// The main window: lists, the bulletin area and its keys, the layout
// following the width, edit commands on the focused control, the Weather Wire
// settings box, and the faults once seen in them.

#include "TestSupport.h"
#include "app/MainState.h"
#include "app/ui/BulletinView.h"
#include "app/ui/NwwsConfigBox.h"
#include "app/ui/frmMain.h"
#include "core/NwwsSettings.h"
#include "display/BulletinDisplay.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
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
        QApplication::setActiveWindow(window.get());
    }
    QLineEdit* manual() const { return window->findChild<QLineEdit*>(QStringLiteral("txtManual")); }
    // The Edit menu item of that caption.
    QAction* edit(const QString& caption) const
    {
        for (QAction* a : window->findChildren<QAction*>(QStringLiteral("mEdit"))) {
            if (a->text() == caption)
                return a;
        }
        return nullptr;
    }
    QListView* list(int n) const
    {
        return window->findChild<QListView*>(QStringLiteral("List%1").arg(n));
    }
    QPlainTextEdit* display() const { return window->findChild<QPlainTextEdit*>("txtDisplay"); }
};
} // namespace

namespace {
// Selects all text of a control and gives it the focus.
void focusAll(QWidget* w)
{
    w->setFocus();
    QApplication::processEvents();
    if (auto* line = qobject_cast<QLineEdit*>(w))
        line->selectAll();
    if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
        plain->selectAll();
}
} // namespace

// The bulletin area can be read, selected and navigated but not typed into.

// The Weather Wire fields of the configuration dialog: the settings section
// and the private password file.

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

    void editCommandsActOnTheFocusedControl_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("inArea"); // the focus is on the bulletin area, else the entry box
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("areaText");
        QTest::addColumn<QString>("clipboard");
        QTest::newRow("cut in the entry box") << "Cu&t" << false << ""
                                              << "TORNADO WARNING"
                                              << "AFDGRRMI";
        QTest::newRow("copy in the entry box") << "&Copy" << false << "AFDGRRMI"
                                               << "TORNADO WARNING"
                                               << "AFDGRRMI";
        QTest::newRow("delete in the entry box") << "&Delete" << false << ""
                                                 << "TORNADO WARNING"
                                                 << "KGRR";
        QTest::newRow("paste in the entry box") << "&Paste" << false << "KGRR"
                                                << "TORNADO WARNING"
                                                << "KGRR";
        QTest::newRow("copy in the bulletin area") << "&Copy" << true << "AFDGRRMI"
                                                   << "TORNADO WARNING"
                                                   << "TORNADO WARNING";
        QTest::newRow("delete in the bulletin area") << "&Delete" << true << "AFDGRRMI"
                                                     << ""
                                                     << "KGRR";
    }
    void editCommandsActOnTheFocusedControl()
    {
        QFETCH(QString, command);
        QFETCH(bool, inArea);
        QFETCH(QString, entry);
        QFETCH(QString, areaText);
        QFETCH(QString, clipboard);
        Fixture f;
        f.state.display.setDisplay(QStringLiteral("TORNADO WARNING"), QString());
        f.manual()->setText(QStringLiteral("AFDGRRMI"));
        QApplication::clipboard()->setText(QStringLiteral("KGRR"));
        focusAll(inArea ? static_cast<QWidget*>(f.display()) : f.manual());
        QAction* action = f.edit(command);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(f.manual()->text(), entry);
        QCOMPARE(f.display()->toPlainText(), areaText);
        QCOMPARE(QApplication::clipboard()->text(), clipboard);
    }
    void recentProductKeepsTheWindowMaximised()
    {
        Fixture f;
        f.home.write(QStringLiteral("text/AFDGRR   ~KGRR~MI"), "AFD TEXT");
        f.state.lists.addReceived(QStringLiteral("AFDGRR   ~KGRR~MI"));
        f.state.newProducts.add(QStringLiteral("AFDGRR   ~KGRR~MI"));
        f.window->showMaximized();
        QApplication::processEvents();
        QList<QAction*> recent = f.window->findChildren<QAction*>(QStringLiteral("mnuNewProd"));
        QVERIFY(!recent.isEmpty());
        recent.first()->trigger();
        QApplication::processEvents();
        QVERIFY(f.window->isMaximized());
        QCOMPARE(f.state.display.tag(), QStringLiteral("AFDGRR   ~KGRR~MI"));
        // A minimised window comes back, maximised as it was.
        f.window->setWindowState(f.window->windowState() | Qt::WindowMinimized);
        recent.first()->trigger();
        QVERIFY(!f.window->isMinimized());
        QVERIFY(f.window->isMaximized());
    }
    // Exit closes the main window; no other window of the program may be left
    // open, or the program would not end.
    void lastImageWindowEndsWithTheMainWindow()
    {
        Fixture f;
        QDir().mkpath(f.state.settings.GIFPath);
        const QString image =
            QDir(f.state.settings.GIFPath).filePath(QStringLiteral("RADGRRMI-12061800.GIF"));
        QVERIFY(QImage(8, 8, QImage::Format_RGB32).save(image, "PNG"));
        f.state.settings.ImageShowing = QStringLiteral("RADGRRMI");
        f.window->reopenLastImage();
        QApplication::processEvents();
        bool viewerOpen = false;
        for (QWidget* w : QApplication::topLevelWidgets())
            viewerOpen = viewerOpen || (w != f.window.get() && w->isVisible());
        QVERIFY(viewerOpen);
        QVERIFY(f.window->close());
        QApplication::processEvents();
        QStringList open;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible())
                open << w->metaObject()->className() + QStringLiteral(" ") + w->windowTitle();
        }
        QVERIFY2(open.isEmpty(), qPrintable(open.join(", ")));
    }
    // A long log in the bulletin area: a plain-text view without wrapping.
    void bulletinAreaIsAPlainTextView()
    {
        Fixture f;
        QVERIFY(f.display());
        QCOMPARE(f.display()->lineWrapMode(), QPlainTextEdit::NoWrap);
        f.state.display.setDisplay(QStringLiteral("A\r\nB\r\n"), QString());
        QCOMPARE(f.display()->toPlainText(), QStringLiteral("A\nB\n"));
    }

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

    void savesSettingsAndPrivatePassword()
    {
        TestHome home;
        SettingsStore store(home.file(QStringLiteral("settings.ini")));
        const QString programDir = home.file(QStringLiteral("prog/"));
        NwwsConfigBox box(store, programDir);
        box.load();
        const QList<QLineEdit*> fields = box.findChildren<QLineEdit*>();
        QCOMPARE(fields.size(), 5); // user, password, server, resource, certificate
        box.findChild<QCheckBox*>()->setChecked(true);
        fields[0]->setText(QStringLiteral("wxuser"));
        fields[1]->setText(QStringLiteral("s3cret"));
        fields[2]->setText(QStringLiteral("localhost:5223"));
        QVERIFY(box.save());

        const NwwsSettings s = NwwsSettings::read(store);
        QVERIFY(s.enabled);
        QCOMPARE(s.user, QStringLiteral("wxuser"));
        QCOMPARE(s.room(), QStringLiteral("nwws@conference.localhost"));
        QString error;
        QCOMPARE(NwwsSettings::readPassword(programDir, &error), QStringLiteral("s3cret"));
        QVERIFY(fields[1]->text().isEmpty()); // not kept in the dialog

        // an empty field leaves the password as it is
        box.load();
        QVERIFY(box.save());
        QCOMPARE(NwwsSettings::readPassword(programDir, &error), QStringLiteral("s3cret"));
    }
};

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"
