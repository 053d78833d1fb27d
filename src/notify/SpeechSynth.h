#pragma once

#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

// Spoken alarms: a sentence synthesized to a WAV file by espeak-ng, to be
// played through the alarm sound output like the alert sounds. The text goes
// in on standard input (never as an argument); the files live in a private
// temporary directory, a few in turn, so that words being played are not
// overwritten by the next ones. One synthesis at a time: a newer sentence
// replaces one still waiting.
class SpeechSynth : public QObject
{
    Q_OBJECT
public:
    static inline const QString Program = QStringLiteral("espeak-ng");
    static constexpr int MaxSentence = 600; // characters spoken
    static constexpr int TimeoutMs = 20000;
    static constexpr int Files = 3;
    static constexpr int MinRate = 80;
    static constexpr int MaxRate = 450;

    explicit SpeechSynth(QObject* parent = nullptr);
    ~SpeechSynth() override;

    void setVoice(const QString& voice) { m_voice = voice; }
    void setRate(int rate) { m_rate = rate; }

    // Starts synthesizing; ready or failed follows with the same tag.
    void synthesize(const QString& sentence, quint64 tag);

    // The command line for one synthesis: voice names are cut to their safe
    // characters, the rate kept within MinRate..MaxRate.
    static QStringList arguments(const QString& voice, int rate, const QString& wavPath);
    // Length of a PCM WAV file from its header; nothing when it is not one.
    static std::optional<int> wavDurationMs(const QString& path);

signals:
    void ready(quint64 tag, const QString& wavPath, int durationMs);
    void failed(quint64 tag, const QString& message);

private:
    void start();
    void finished();

    QTemporaryDir m_dir;
    QProcess m_process;
    QTimer m_timeout;
    QString m_voice = QStringLiteral("en-us");
    int m_rate = 160;
    int m_next = 0;
    QString m_path;
    quint64 m_tag = 0;
    std::optional<QPair<QString, quint64>> m_waiting;
};
