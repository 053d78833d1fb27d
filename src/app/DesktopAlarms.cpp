#include "app/DesktopAlarms.h"

#include "alarms/AlarmComponent.h"
#include "alarms/AlarmSound.h"
#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/Clock.h"

#include <QDBusConnection>
#include <QFile>
#include <QRegularExpression>
#include <QTimeZone>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {
// A line end in a one-line scroll text: CR LF, each made a blank.
const QRegularExpression kFlattenedLineEnd(QStringLiteral(" {2,}"));

bool hasArea(const QString& text)
{
    static const QRegularExpression ugc(QStringLiteral("(^|\\n)[A-Z]{2}[CZ]\\d{3}[->]"));
    return text.contains(ugc);
}
} // namespace

DesktopAlarms::DesktopAlarms(const Context& context, AlarmComponent& component,
                             const QDBusConnection& bus, QObject* parent)
    : QObject(parent), m_c(context), m_notifier(bus)
{
    connect(&component, &AlarmComponent::AlarmScreen, this,
            [this](const QString& text, const QString& name) { productShown(name, text, true); });
    connect(&component, &AlarmComponent::AlarmVisual, this,
            [this](const QString& text, const QString& name, const QString&) {
                productShown(name, text, false);
            });
    connect(&component, &AlarmComponent::PlayAudio, this, &DesktopAlarms::soundStarted);
    connect(&component, &AlarmComponent::AlarmUpdate, this, [this] {
        ++m_active;
        emit activeAlarmsChanged(m_active);
    });
    connect(&m_c.sound, &AlarmSound::muted, this, [this] {
        m_active = 0;
        emit activeAlarmsChanged(m_active);
    });
    connect(&m_notifier, &DesktopNotifier::showRequested, this, &DesktopAlarms::show);
    connect(&m_notifier, &DesktopNotifier::muteRequested, &m_c.sound, &AlarmSound::mute);
    connect(&m_notifier, &DesktopNotifier::unavailable, &m_c.status, &StatusLine::setText);
    connect(&m_speech, &SpeechSynth::ready, this, &DesktopAlarms::speechDone);
    connect(&m_speech, &SpeechSynth::failed, this,
            [this](quint64, const QString& message) { m_c.status.setText(message); });
}

const AlarmWords& DesktopAlarms::words()
{
    if (!m_words) {
        m_words = std::make_unique<AlarmWords>(
            m_c.tables,
            AlarmWords::readProductList(m_c.programDir + QStringLiteral("product-list.txt")));
    }
    return *m_words;
}

void DesktopAlarms::productShown(const QString& name, const QString& text, bool lines)
{
    auto same = [&](const Shown& s) { return s.name == name; };
    auto it = std::find_if(m_pending.begin(), m_pending.end(), same);
    if (it == m_pending.end())
        m_pending.append({name, text, lines});
    else if (lines && !it->lines)
        *it = {name, text, lines}; // the screen text keeps its lines
    if (!m_flushQueued) {
        m_flushQueued = true;
        // After the alarm's remaining actions (its sound among them).
        QTimer::singleShot(0, this, &DesktopAlarms::flush);
    }
}

void DesktopAlarms::soundStarted(const QString& location)
{
    m_soundPending = true;
    m_soundPath = location;
    m_soundGeneration = m_c.sound.generation();
}

QString DesktopAlarms::filedProduct(const QString& name) const
{
    QFile file(m_c.settings.TextPath + name);
    if (name.contains(QLatin1Char('/')) || !file.open(QIODevice::ReadOnly))
        return QString();
    return AlarmComponent::cleanProduct(
        QString::fromLatin1(file.read(AlarmComponent::MaxProductBytes)));
}

DesktopAlarms::Texts DesktopAlarms::productTexts(const Shown& shown) const
{
    if (shown.lines)
        return {shown.text, shown.text};
    QString text = shown.text;
    text.replace(kFlattenedLineEnd, QStringLiteral("\n"));
    const QString filed = filedProduct(shown.name);
    const QString show = filed.isEmpty() ? text : filed;
    return {hasArea(text) ? text : show, show};
}

void DesktopAlarms::flush()
{
    m_flushQueued = false;
    const QList<Shown> pending = std::exchange(m_pending, {});
    const bool sound = std::exchange(m_soundPending, false);
    const QDateTime now = m_c.clock.now();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    for (const Shown& shown : pending) {
        const Texts texts = productTexts(shown);
        const AlarmWords::Words w = words().describe(shown.name, texts.words, now, zone);
        if (m_c.settings.NotifyDesktop) {
            m_texts.removeIf([&](const auto& p) { return p.first == shown.name; });
            m_texts.append({shown.name, texts.show});
            while (m_texts.size() > DesktopNotifier::MaxRemembered)
                m_texts.removeFirst();
            m_notifier.notify(w.summary(), w.body(), w.critical, shown.name);
        }
        if (sound && m_c.settings.NotifySpeak && shown.name == pending.last().name) {
            m_sentence = w.sentence();
            m_soundMs = m_soundPath == AlarmSound::Beep
                            ? 0
                            : SpeechSynth::wavDurationMs(m_soundPath).value_or(0);
            m_speech.setVoice(m_c.settings.NotifyVoice);
            m_speech.setRate(m_c.settings.NotifyRate);
            m_speech.synthesize(m_sentence, m_soundGeneration);
        }
    }
}

void DesktopAlarms::speechDone(quint64 tag, const QString& path, int ms)
{
    emit speechReady(m_sentence, path, ms);
    m_c.sound.setSpeech(tag, path, m_soundMs, ms);
}

void DesktopAlarms::show(const QString& key)
{
    for (const auto& [name, text] : m_texts) {
        if (name == key) {
            m_c.display.setDisplay(text, name);
            break;
        }
    }
    emit showRequested();
}
