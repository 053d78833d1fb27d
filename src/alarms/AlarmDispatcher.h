#pragma once

#include "core/IAlarmLoops.h"
#include "platform/RegExpMatcher.h"

#include <QObject>
#include <QString>

class AlarmFile;
class DisplayState;
class IClock;
class IPrompter;
class RuntimeError;
class Settings;
class VOZUZUduvi;
struct AlarmDefinition;

// Runs the alarm definitions against every filed product and hands each
// matching definition to the alarm component (ProcessAlarms). Keeps the
// component's per-definition state text and reports the failures of the
// component's event handlers in the bulletin display.
//
// Definitions whose pattern contains "METAR" or "SPECI" belong to the
// observation alarm and are passed over by both loops.
class AlarmDispatcher : public QObject, public IAlarmLoops
{
    Q_OBJECT
public:
    static inline const QString InvalidFallback = QStringLiteral("123456789");

    // Connects the component's AlarmUpdate to this dispatcher.
    AlarmDispatcher(AlarmFile& alarms, const Settings& settings, DisplayState& display,
                    IClock& clock, IPrompter& prompter, VOZUZUduvi& component,
                    QObject* parent = nullptr);

    // Text products: a definition fires when its prepared pattern occurs in
    // the identifier and is at least as long as it.
    void matchIdentifier(const QString& identifier, const QString& productKey) override;
    // Images and hourly collections: a definition fires when its prepared
    // pattern occurs in the product name.
    void matchProductName(const QString& productName, const QString& fullPathName) override;

    // Applies the day window of definition ANum and hands it to the component.
    void ProcessAlarms(const QString& CheckString, const QString& FullPathName, int ANum);

    // "?" in the first 9 characters becomes ".", then "WAR" at the start
    // becomes "(TOR|SVR|FFW)".
    static QString identifierPattern(const QString& pattern);
    // "?" in the first 8 characters becomes "."; a pattern of six wildcards
    // is for text products only and never matches a product name.
    static QString productNamePattern(const QString& pattern);

    const RegExpMatcher& matcher() const { return m_matcher; }

public slots:
    // Stores the component's state text for definition anumber, except for
    // the pattern "TESTWARN".
    void AlarmUpdate(int anumber, const QString& astring);

private:
    // Sets the expression and matches; an invalid pattern is reported and
    // replaced by an expression that matches no product.
    bool matches(const QString& expression, const QString& pattern, const QString& text);
    bool isDayTime() const;
    void reportFailure(const RuntimeError& error, const AlarmDefinition& definition);
    static bool isObservationPattern(const QString& pattern);

    AlarmFile& m_alarms;
    const Settings& m_settings;
    DisplayState& m_display;
    IClock& m_clock;
    IPrompter& m_prompter;
    VOZUZUduvi& m_component;
    RegExpMatcher m_matcher;
};
