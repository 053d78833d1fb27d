#include "alarms/AlarmDispatcher.h"

#include "alarms/AlarmComponent.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/Settings.h"
#include "platform/Clock.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"
#include "product/FiledProduct.h"

#include <exception>

namespace {

const QString AlarmErrorHead = QStringLiteral("ALARM ERROR\n------\n\n");

} // namespace

AlarmDispatcher::AlarmDispatcher(AlarmFile& alarms, const Settings& settings, DisplayState& display,
                                 IClock& clock, IPrompter& prompter, AlarmComponent& component,
                                 QObject* parent)
    : QObject(parent), m_alarms(alarms), m_settings(settings), m_display(display), m_clock(clock),
      m_prompter(prompter), m_component(component)
{
    connect(&m_component, &AlarmComponent::AlarmUpdate, this, &AlarmDispatcher::AlarmUpdate,
            Qt::DirectConnection);
}

QString AlarmDispatcher::identifierPattern(const QString& pattern)
{
    return AlarmPatternIndex::identifierPattern(pattern);
}

QString AlarmDispatcher::productNamePattern(const QString& pattern)
{
    return AlarmPatternIndex::productNamePattern(pattern);
}

bool AlarmDispatcher::matches(const RegExpMatcher& matcher, const QString& pattern,
                              const QString& text)
{
    try {
        return matcher.Match(text);
    } catch (const RuntimeError&) {
        m_display.setDisplay(QStringLiteral("Alarm ") + pattern + QStringLiteral(" is invalid."));
        return false;
    }
}

void AlarmDispatcher::runAlarms(const FiledProduct& product)
{
    switch (product.kind) {
    case FiledProduct::Kind::Text:
        matchIdentifier(product);
        break;
    case FiledProduct::Kind::Image:
    case FiledProduct::Kind::Collection:
        matchProductName(product);
        break;
    case FiledProduct::Kind::Status:
    case FiledProduct::Kind::WebPage:
        break;
    }
}

void AlarmDispatcher::matchIdentifier(const FiledProduct& product)
{
    const QString& identifier = product.identifier;
    const AlarmComponent::ProductScope scope(m_component);
    m_index.refresh(m_alarms.definitions(), m_alarms.alarmCount());
    // A copy: an alarm's handlers may start another round (a nested event loop).
    const std::vector<int> candidates = m_index.identifierCandidates(identifier);
    for (const int i : candidates) {
        if (i >= m_index.size() || m_index.isObservation(i))
            continue;
        const RegExpMatcher& matcher = m_index.identifierMatcher(i);
        const QString& expression = matcher.expression();
        if (const std::optional<bool> fires = m_index.fixedLengthFires(i, identifier)) {
            if (!*fires)
                continue;
        } else if (!matches(matcher, m_index.pattern(i), identifier) ||
                   expression.size() < identifier.size()) {
            continue;
        }
        if (expression == QLatin1String("......") && identifier.contains(QLatin1String("SAORCM")))
            continue;
        ProcessAlarms(product, i);
    }
}

void AlarmDispatcher::matchProductName(const FiledProduct& product)
{
    const QString& productName = product.productName;
    const AlarmComponent::ProductScope scope(m_component);
    m_index.refresh(m_alarms.definitions(), m_alarms.alarmCount());
    for (int i = 0; i < m_index.size(); ++i) {
        if (m_index.isObservation(i))
            continue;
        const RegExpMatcher& matcher = m_index.productNameMatcher(i);
        // Six wildcards stand for the text products of 6-character
        // identifiers, never for images and collections.
        if (matcher.expression() == QLatin1String("......"))
            continue;
        if (matches(matcher, m_index.pattern(i), productName))
            ProcessAlarms(product, i);
    }
}

bool AlarmDispatcher::isDayTime() const
{
    const int hour = m_clock.now().time().hour();
    return m_settings.CutoffAM <= hour && hour < m_settings.CutoffPM;
}

void AlarmDispatcher::ProcessAlarms(const FiledProduct& product, int ANum)
{
    if (ANum < 0 || ANum > m_alarms.alarmCount())
        return;
    // A copy: the component's events may change the table's state text.
    const AlarmDefinition d = m_alarms.definitions().at(ANum);
    if (d.dayOnly != 0 && !isDayTime())
        return;
    try {
        m_component.CheckAlarm(product, d, ANum);
    } catch (const RuntimeError& error) {
        reportFailure(error, d);
    } catch (const std::exception&) {
        // Other failures of the actions are passed over; matching goes on.
    }
}

void AlarmDispatcher::reportFailure(const RuntimeError& error, const AlarmDefinition& definition)
{
    switch (error.number()) {
    case ErrorNumber::SubscriptOutOfRange:
        m_display.setDisplay(AlarmErrorHead +
                             QStringLiteral("Maximum number of scroll alarms "
                                            "displayed is 10, please close some..."));
        break;
    case ErrorNumber::FileNotFound: {
        // Only a program start reports a missing file; other actions of a
        // definition without a program pass it over.
        if (definition.exe == 0)
            break;
        const auto& programs = m_alarms.programs();
        const QString command =
            definition.exe <= programs.size() ? programs.at(definition.exe - 1).command : QString();
        m_display.setDisplay(AlarmErrorHead + QStringLiteral("EXE Alarm #") +
                             QString::number(definition.exe) + QStringLiteral("  ") + command +
                             QStringLiteral(" not found..."));
        break;
    }
    case ErrorNumber::InvalidCall:
        m_prompter.message(ErrorReport::format(QStringLiteral("MAIN: ProcessAlarms"), error),
                           QString(), IPrompter::Icon::Exclamation);
        break;
    default:
        break;
    }
}

void AlarmDispatcher::AlarmUpdate(int anumber, const QString& astring)
{
    auto& definitions = m_alarms.definitions();
    if (anumber < 0 || anumber >= definitions.size())
        return;
    if (definitions.at(anumber).pattern == QLatin1String("TESTWARN"))
        return;
    definitions[anumber].state = astring;
}
