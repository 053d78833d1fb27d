#pragma once

#include <QString>

class MainState;
class AlarmDispatcher;

// The Add-ins "Alarm Test": a product file "testprod.<name>" in the program
// directory is copied into the text store and run against every alarm
// definition, so that the user can see the alarms fire without waiting for
// real weather.
class AlarmTest
{
public:
    AlarmTest(MainState& state, AlarmDispatcher& dispatcher);

    // True when a test product is present in the program directory.
    bool available() const;
    // Runs the test; returns the number of definitions that fired.
    int run();

    static inline const QString TestState = QStringLiteral("123456");

private:
    MainState& m_state;
    AlarmDispatcher& m_dispatcher;
};
