#pragma once

#include "alarms/AlarmPatternIndex.h"
#include "core/IAlarmLoops.h"

#include <QObject>
#include <QString>

class AlarmFile;
class DisplayState;
class IClock;
class IPrompter;
class RuntimeError;
class Settings;
class AlarmComponent;
struct AlarmDefinition;
struct FiledProduct;

// Runs the alarm definitions against every filed product and hands each
// matching definition to the alarm component (ProcessAlarms). Keeps the
// component's per-definition state text and reports the failures of the
// component's event handlers in the bulletin display.
//
// Definitions whose pattern contains "METAR" or "SPECI" belong to the
// observation alarm and are passed over by both loops.
//
// Patterns are compiled once per table (AlarmPatternIndex follows changes of
// the table by itself) and a text product is tested only against the
// definitions its identifier can fire, in table order.
class AlarmDispatcher : public QObject, public IAlarmLoops
{
    Q_OBJECT
public:
    // Connects the component's AlarmUpdate to this dispatcher.
    AlarmDispatcher(AlarmFile& alarms, const Settings& settings, DisplayState& display,
                    IClock& clock, IPrompter& prompter, AlarmComponent& component,
                    QObject* parent = nullptr);

    // Text products: a definition fires when its prepared pattern occurs in
    // the identifier and is at least as long as it. Images and hourly
    // collections: a definition fires when its prepared pattern occurs in the
    // product name.
    void runAlarms(const FiledProduct& product) override;

    // Applies the day window of definition ANum and hands it to the component.
    void ProcessAlarms(const FiledProduct& product, int ANum);

    // Every "?" becomes ".", then "WAR" at the start becomes "(TOR|SVR|FFW)".
    static QString identifierPattern(const QString& pattern);
    // Every "?" becomes "."; a pattern of six wildcards
    // is for text products only and never matches a product name.
    static QString productNamePattern(const QString& pattern);

    const AlarmPatternIndex& index() const { return m_index; }

public slots:
    // Stores the component's state text for definition anumber, except for
    // the pattern "TESTWARN".
    void AlarmUpdate(int anumber, const QString& astring);

private:
    void matchIdentifier(const FiledProduct& product);
    void matchProductName(const FiledProduct& product);
    // An invalid pattern is reported and matches no product.
    bool matches(const RegExpMatcher& matcher, const QString& pattern, const QString& text);
    bool isDayTime() const;
    void reportFailure(const RuntimeError& error, const AlarmDefinition& definition);

    AlarmFile& m_alarms;
    const Settings& m_settings;
    DisplayState& m_display;
    IClock& m_clock;
    IPrompter& m_prompter;
    AlarmComponent& m_component;
    AlarmPatternIndex m_index;
};
