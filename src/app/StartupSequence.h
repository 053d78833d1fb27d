#pragma once

#include <QString>
#include <functional>

class MainState;
class IStartupHost;
class RuntimeError;

// The start-up of the program in its fixed order of steps, from reading the
// settings to "Startup Successful", with the one error handler that decides
// by error number and file whether to carry on or stop.
class StartupSequence
{
public:
    StartupSequence(MainState& state, IStartupHost& host);

    // Runs all steps; false when start-up ended early ("Startup FAILED").
    bool run();
    // The definition or table file being read; empty between files.
    QString currentFile() const { return m_currentFile; }

    // Searches for an outside program (by default through the launcher's
    // lookup); tests replace it.
    std::function<QString(const QString&)> findProgram;

private:
    enum class Outcome
    {
        CarryOn,
        Stop
    };
    // Runs one statement under the start-up error handler.
    bool step(const std::function<void()>& statement);
    Outcome handle(const RuntimeError& error);
    void fail(const QString& report);

    void readFirstSettings();
    void findAbcPager();
    void readSettings();
    void prepareDirectories();
    void firstRun();
    void loadFiles();
    void showLastImage();
    void finish();

    MainState& m_state;
    IStartupHost& m_host;
    QString m_currentFile;
    bool m_failed = false;
};
