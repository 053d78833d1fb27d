#pragma once

#include <QString>

class AlarmDispatcher;
class AlarmFile;
class DisplayState;
class Settings;
class StatusLine;

// The Add-ins "Alarm Test": a product file "testprod.<name>" in the program
// directory is copied into the text store and run against every alarm
// definition, so that the user can see the alarms fire without waiting for
// real weather.
class AlarmTest
{
public:
    AlarmTest(QString programDir, const Settings& settings, AlarmFile& alarms, StatusLine& status,
              DisplayState& display, AlarmDispatcher& dispatcher);

    // True when a test product is present in the program directory.
    bool available() const;
    // Runs the test; returns the number of definitions that fired.
    int run();

    static inline const QString TestState = QStringLiteral("123456");

private:
    QString m_programDir;
    const Settings& m_settings;
    AlarmFile& m_alarms;
    StatusLine& m_status;
    DisplayState& m_display;
    AlarmDispatcher& m_dispatcher;
};
