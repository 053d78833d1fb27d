#include "notify/SpeechSynth.h"

#include <QFile>
#include <QtEndian>

#include <algorithm>

namespace {
constexpr qint64 MaxHeaderScan = 4096;

quint32 le32(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint32>(b.constData() + at);
}
quint16 le16(const QByteArray& b, qsizetype at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}
} // namespace

SpeechSynth::SpeechSynth(QObject* parent) : QObject(parent)
{
    m_timeout.setSingleShot(true);
    m_timeout.setInterval(TimeoutMs);
    connect(&m_timeout, &QTimer::timeout, &m_process, &QProcess::kill);
    connect(&m_process, &QProcess::finished, this, &SpeechSynth::finished);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finished();
    });
}

SpeechSynth::~SpeechSynth()
{
    m_process.disconnect(this);
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(1000);
    }
}

QStringList SpeechSynth::arguments(const QString& voice, int rate, const QString& wavPath)
{
    QString safe;
    for (const QChar c : voice) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('+') ||
            c == QLatin1Char('_') || c == QLatin1Char('/'))
            safe += c;
    }
    if (safe.isEmpty() || safe.startsWith(QLatin1Char('-')))
        safe = QStringLiteral("en-us");
    return {QStringLiteral("-v"),     safe.left(40),
            QStringLiteral("-s"),     QString::number(std::clamp(rate, MinRate, MaxRate)),
            QStringLiteral("-w"),     wavPath,
            QStringLiteral("--stdin")};
}

void SpeechSynth::synthesize(const QString& sentence, quint64 tag)
{
    m_waiting = qMakePair(sentence.left(MaxSentence), tag);
    if (m_process.state() == QProcess::NotRunning)
        start();
}

void SpeechSynth::start()
{
    if (!m_waiting)
        return;
    const auto [sentence, tag] = *m_waiting;
    m_waiting.reset();
    m_tag = tag;
    if (!m_dir.isValid()) {
        emit failed(tag, QStringLiteral("no directory for the spoken words"));
        return;
    }
    m_path = m_dir.filePath(QStringLiteral("speech-%1.wav").arg(m_next));
    m_next = (m_next + 1) % Files;
    QFile::remove(m_path);
    m_process.start(Program, arguments(m_voice, m_rate, m_path));
    m_process.write(sentence.toUtf8() + '\n');
    m_process.closeWriteChannel();
    m_timeout.start();
}

void SpeechSynth::finished()
{
    m_timeout.stop();
    const bool ok = m_process.error() != QProcess::FailedToStart &&
                    m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    const std::optional<int> ms = ok ? wavDurationMs(m_path) : std::nullopt;
    if (ms && *ms > 0)
        emit ready(m_tag, m_path, *ms);
    else if (m_process.error() == QProcess::FailedToStart)
        emit failed(m_tag, Program + QStringLiteral(" is not installed"));
    else
        emit failed(m_tag, Program + QStringLiteral(" made no audio: ") +
                               QString::fromLocal8Bit(m_process.readAllStandardError()).trimmed());
    start();
}

std::optional<int> SpeechSynth::wavDurationMs(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray head = file.read(MaxHeaderScan);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE")
        return std::nullopt;
    quint32 byteRate = 0;
    qsizetype at = 12;
    while (at + 8 <= head.size()) {
        const QByteArray id = head.mid(at, 4);
        const quint32 size = le32(head, at + 4);
        if (id == "fmt " && at + 20 <= head.size()) {
            byteRate = le32(head, at + 16);
            if (le16(head, at + 8) != 1) // PCM only
                return std::nullopt;
        } else if (id == "data") {
            if (byteRate == 0)
                return std::nullopt;
            // Streamed output may leave the size open: take what the file holds.
            const qint64 held = file.size() - (at + 8);
            const qint64 bytes =
                (size == 0 || size == 0xFFFFFFFFu) ? held : std::min<qint64>(size, held);
            return static_cast<int>(bytes * 1000 / byteRate);
        }
        at += 8 + size + (size & 1);
    }
    return std::nullopt;
}
