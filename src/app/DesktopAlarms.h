#pragma once

#include "notify/AlarmWords.h"
#include "notify/DesktopNotifier.h"
#include "notify/SpeechSynth.h"

#include <QList>
#include <QObject>
#include <QString>
#include <memory>

class AlarmSound;
class DisplayState;
class IClock;
class ReferenceTables;
class Settings;
class StatusLine;
class AlarmComponent;

// Desktop notifications and spoken words for the alarm component's alarms.
// Every alarm that shows its product (screen or scroll) raises one
// notification (an alarm that does both raises one); "Show" puts the product
// in the bulletin area and asks for the main window, "Mute" mutes. When
// speaking is on, the words of an alarm with a sound follow that sound.
// Also counts the alarms raised since the last mute (the tray's tooltip).
class DesktopAlarms : public QObject
{
    Q_OBJECT
public:
    struct Context
    {
        QString programDir;
        const Settings& settings;
        const ReferenceTables& tables;
        DisplayState& display;
        StatusLine& status;
        AlarmSound& sound;
        const IClock& clock;
    };

    // Connect after the alarm actions, so that the alarm's sound has started
    // when its event reaches this object.
    DesktopAlarms(const Context& context, AlarmComponent& component, const QDBusConnection& bus,
                  QObject* parent = nullptr);

    int activeAlarms() const { return m_active; }
    // The words of a product (lazily built: the tables are read after start).
    const AlarmWords& words();
    DesktopNotifier& notifier() { return m_notifier; }
    SpeechSynth& speech() { return m_speech; }

signals:
    // "Show" was chosen: the product is in the bulletin area; raise the window.
    void showRequested();
    void activeAlarmsChanged(int count);
    // The words of an alarm are ready and follow its sound.
    void speechReady(const QString& sentence, const QString& wavPath, int durationMs);

private:
    struct Shown
    {
        QString name;
        QString text;
        bool lines = true; // false: a one-line scroll text
    };
    void productShown(const QString& name, const QString& text, bool lines);
    void soundStarted(const QString& location);
    void flush();
    struct Texts
    {
        QString words; // the alarm's text with its lines (a zone's segment stays one)
        QString show;  // what "Show" puts in the bulletin area
    };
    // A one-line scroll text gets its lines back; the filed product stands
    // in for a shortened one, and is what "Show" shows.
    Texts productTexts(const Shown& shown) const;
    QString filedProduct(const QString& name) const;
    void show(const QString& key);
    void speechDone(quint64 tag, const QString& path, int ms);

    Context m_c;
    DesktopNotifier m_notifier;
    SpeechSynth m_speech;
    std::unique_ptr<AlarmWords> m_words;
    QList<Shown> m_pending;
    bool m_flushQueued = false;
    QString m_soundPath;
    quint64 m_soundGeneration = 0;
    bool m_soundPending = false;
    QString m_sentence;
    int m_soundMs = 0;
    // Texts of the products notified, by name, for "Show" (bounded).
    QList<QPair<QString, QString>> m_texts;
    int m_active = 0;
};
