#include "TestSupport.h"
#include "app/MainState.h"
#include "app/ui/frmMain.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <memory>

namespace {
// The main window over the whole program, with a private home and fake services.
struct Fixture
{
    TestHome home;
    QString programDir = home.path() + QStringLiteral("/prog/");
    SettingsStore store{home.file(QStringLiteral(".config/Vantorel-v15.conf"))};
    RecordingLauncher launcher;
    FakeWindowControl windows;
    ScriptedPrompter prompter;
    FakeClock clock;
    MainState state{programDir,
                    MainState::Services{&store, &launcher, &windows, &prompter, &clock}};
    std::unique_ptr<frmMain> window;

    Fixture()
    {
        QDir().mkpath(programDir);
        state.settings.TextPath = home.path() + QStringLiteral("/text/");
        window = std::make_unique<frmMain>(state);
        window->showDisplay();
        window->resize(723, 515);
        window->show();
        QApplication::setActiveWindow(window.get());
    }
    QPlainTextEdit* area() const
    {
        return window->findChild<QPlainTextEdit*>(QStringLiteral("txtDisplay"));
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
};

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

class TestMainWindowFaults : public QObject
{
    Q_OBJECT
private slots:
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
        focusAll(inArea ? static_cast<QWidget*>(f.area()) : f.manual());
        QAction* action = f.edit(command);
        QVERIFY(action);
        action->trigger();
        QCOMPARE(f.manual()->text(), entry);
        QCOMPARE(f.area()->toPlainText(), areaText);
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
        QVERIFY(f.area());
        QCOMPARE(f.area()->lineWrapMode(), QPlainTextEdit::NoWrap);
        f.state.display.setDisplay(QStringLiteral("A\r\nB\r\n"), QString());
        QCOMPARE(f.area()->toPlainText(), QStringLiteral("A\nB\n"));
    }
};

QTEST_MAIN(TestMainWindowFaults)
#include "tst_mainwindowfaults.moc"
