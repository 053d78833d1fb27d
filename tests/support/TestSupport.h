#pragma once

#include "app/MainState.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/MenuDefinitions.h"
#include "core/NewProducts.h"
#include "core/ProductLists.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/Clock.h"
#include "platform/ProcessLauncher.h"
#include "platform/ProcessRunner.h"
#include "platform/Prompter.h"
#include "platform/SettingsStore.h"
#include "platform/WindowControl.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <optional>

// A private home for one test: HOME and the XDG directories point into a
// temporary directory, so settings and program files never touch the user's.
class TestHome
{
public:
    TestHome();
    QString path() const { return m_dir.path(); }
    // Path of a file below the temporary home.
    QString file(const QString& relative) const;
    // Writes a file (creating its directory); bytes are written as given.
    QString write(const QString& relative, const QByteArray& bytes) const;

private:
    QTemporaryDir m_dir;
};

// Fixtures shipped with the tests (tests/data).
QString testDataPath(const QString& relative);
QByteArray readBytes(const QString& path);

class ScriptedPrompter : public IPrompter
{
public:
    struct Shown
    {
        QString text;
        QString title;
        Icon icon;
    };
    void message(const QString& text, const QString& title, Icon icon) override;
    Answer question(const QString& text, const QString& title, Buttons buttons) override;
    std::optional<QString> input(const QString& prompt, const QString& title,
                                 const QString& initial) override;

    QList<Shown> messages;
    QStringList questions;
    QList<Answer> answers;                // taken in order; Yes when none left
    QList<std::optional<QString>> inputs; // taken in order; nothing when none left
};

// Records the command lines started or run, without starting anything. A
// run ends when the test says so (finish), with the outcome it gives.
class RecordingLauncher : public IProcessLauncher, public IProcessRunner
{
public:
    struct Started
    {
        QString directory;
        QString program;
        QStringList arguments;
    };
    qint64 start(const QString& commandLine, LaunchWindow window) override;
    qint64 startProgram(const QString& workingDirectory, const QString& program,
                        const QStringList& arguments, LaunchWindow window) override;
    void run(const QString& commandLine, LaunchWindow window, Finished finished) override;
    // Ends the run of commandLines[index]; false when there is no such run.
    bool finish(int index, const ProcessOutcome& outcome);
    // The program and arguments of commandLines[index] as the program's
    // launcher (for the program directory) would start them.
    QStringList startedParts(int index, const QString& programDir = QString()) const
    {
        return ProcessLauncher(programDir).split(commandLines.value(index));
    }
    bool finishLast(int exitCode)
    {
        return finish(static_cast<int>(commandLines.size()) - 1,
                      {ProcessOutcome::Kind::Finished, exitCode});
    }

    QStringList commandLines;
    QList<LaunchWindow> windows;
    QList<Started> programs; // what startProgram was given
    qint64 result = 4242;    // what start returns; 0 = "could not be started"

private:
    QMap<int, Finished> m_finished;
};

class FakeClock : public IClock
{
public:
    QDateTime now() const override { return current; }
    QDateTime current = QDateTime(QDate(2026, 12, 6), QTime(18, 27, 51));
};

// Windows known by title; records what was done to them.
class FakeWindowControl : public IWindowControl
{
public:
    quint64 findWindow(const QString& exactTitle) override;
    void hide(quint64 window) override;
    void restore(quint64 window) override;
    void raise(quint64 window) override;

    QMap<QString, quint64> windows;
    QStringList actions; // "hide 7", "restore 7", "raise 7"
};

// An executable script that records the arguments of each run, so that a test
// sees exactly what a started program receives.
class ArgumentRecorder
{
public:
    explicit ArgumentRecorder(const QString& scriptPath);
    QString path() const { return m_path; }
    // The arguments of the next finished run (waiting up to timeoutMs);
    // nothing when the program did not run.
    std::optional<QStringList> waitForRun(int timeoutMs = 10000) const;

private:
    QString m_path;
};

// The program-wide state of core over a private home, with fake services, for
// testing one subsystem with the pieces it takes. The program directory is
// home/prog/ (created); TextPath, GIFPath and SAPath point to home/text/,
// home/images/ and home/hourly/ (TextPath created).
struct CoreFixture
{
    CoreFixture();

    // A directory below home, created, with a trailing slash.
    QString dir(const QString& relative) const;
    // The directories of ingest, created: Data-In at prog/track/transfer/,
    // the store at data/, images/ and hourly/, receipts in prog/track/emwin/.
    void useIngestDirectories();

    TestHome home;
    QString programDir;
    SettingsStore store;
    RecordingLauncher launcher;
    FakeWindowControl windows;
    ScriptedPrompter prompter;
    FakeClock clock;
    Settings settings;
    ReferenceTables tables;
    MenuDefinitions menus;
    AlarmFile alarms;
    StatusLine status;
    DisplayState display;
    ProductLists lists;
    NewProducts newProducts;
};

// The whole program (MainState) over a private home with fake services. The program directory
// is home/prog/ (created); TextPath, GIFPath and SAPath point to home/text/,
// home/images/ and home/hourly/ (TextPath created).
struct StateFixture
{
    StateFixture();

    TestHome home;
    QString programDir;
    SettingsStore store;
    RecordingLauncher launcher;
    FakeWindowControl windows;
    ScriptedPrompter prompter;
    FakeClock clock;
    MainState state;
};
