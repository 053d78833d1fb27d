#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

TestHome::TestHome()
{
    qputenv("HOME", m_dir.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (m_dir.path() + QStringLiteral("/.config")).toUtf8());
    qputenv("XDG_DATA_HOME", (m_dir.path() + QStringLiteral("/.local/share")).toUtf8());
}

QString TestHome::file(const QString& relative) const
{
    return QDir(m_dir.path()).filePath(relative);
}

QString TestHome::write(const QString& relative, const QByteArray& bytes) const
{
    const QString path = file(relative);
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
    return path;
}

QString testDataPath(const QString& relative)
{
    return QStringLiteral(VANTOREL_TEST_DATA_DIR "/") + relative;
}

QByteArray readBytes(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

void ScriptedPrompter::message(const QString& text, const QString& title, Icon icon)
{
    messages.append({text, title, icon});
}

IPrompter::Answer ScriptedPrompter::question(const QString& text, const QString&, Buttons)
{
    questions << text;
    return answers.isEmpty() ? Answer::Yes : answers.takeFirst();
}

std::optional<QString> ScriptedPrompter::input(const QString& prompt, const QString&,
                                               const QString&)
{
    questions << prompt;
    return inputs.isEmpty() ? std::nullopt : inputs.takeFirst();
}

qint64 RecordingLauncher::start(const QString& commandLine, LaunchWindow window)
{
    commandLines << commandLine;
    windows << window;
    return result;
}

qint64 RecordingLauncher::startProgram(const QString& workingDirectory, const QString& program,
                                       const QStringList& arguments, LaunchWindow window)
{
    programs << Started{workingDirectory, program, arguments};
    windows << window;
    return result;
}

void RecordingLauncher::run(const QString& commandLine, LaunchWindow window, Finished finished)
{
    m_finished.insert(static_cast<int>(commandLines.size()), std::move(finished));
    commandLines << commandLine;
    windows << window;
}

bool RecordingLauncher::finish(int index, const ProcessOutcome& outcome)
{
    const Finished finished = m_finished.take(index);
    if (!finished)
        return false;
    finished(outcome);
    return true;
}

quint64 FakeWindowControl::findWindow(const QString& exactTitle)
{
    return windows.value(exactTitle, 0);
}

void FakeWindowControl::hide(quint64 window)
{
    actions << QStringLiteral("hide %1").arg(window);
}

void FakeWindowControl::restore(quint64 window)
{
    actions << QStringLiteral("restore %1").arg(window);
}

void FakeWindowControl::raise(quint64 window)
{
    actions << QStringLiteral("raise %1").arg(window);
}

StateFixture::StateFixture()
    : programDir(home.path() + QStringLiteral("/prog/")),
      store(home.file(QStringLiteral(".config/Vantorel-v15.conf"))),
      state(programDir,
            MainState::Services{&store, &launcher, &windows, &prompter, &clock, nullptr, &launcher})
{
    QDir().mkpath(programDir);
    state.settings.TextPath = home.path() + QStringLiteral("/text/");
    state.settings.GIFPath = home.path() + QStringLiteral("/images/");
    state.settings.SAPath = home.path() + QStringLiteral("/hourly/");
    QDir().mkpath(state.settings.TextPath);
}

CoreFixture::CoreFixture()
    : programDir(home.path() + QStringLiteral("/prog/")),
      store(home.file(QStringLiteral(".config/Vantorel-v15.conf")))
{
    QDir().mkpath(programDir);
    settings.TextPath = home.path() + QStringLiteral("/text/");
    settings.GIFPath = home.path() + QStringLiteral("/images/");
    settings.SAPath = home.path() + QStringLiteral("/hourly/");
    QDir().mkpath(settings.TextPath);
}

QString CoreFixture::dir(const QString& relative) const
{
    QDir().mkpath(home.file(relative));
    return home.file(relative) + QLatin1Char('/');
}

void CoreFixture::useIngestDirectories()
{
    settings.TransferPath = dir(QStringLiteral("prog/track/transfer/"));
    settings.TextPath = dir(QStringLiteral("data/"));
    settings.GIFPath = dir(QStringLiteral("images/"));
    settings.SAPath = dir(QStringLiteral("hourly/"));
    settings.TrackPath = programDir + QStringLiteral("track/");
    dir(QStringLiteral("prog/track/emwin/"));
}

ArgumentRecorder::ArgumentRecorder(const QString& scriptPath) : m_path(scriptPath)
{
    QDir().mkpath(QFileInfo(scriptPath).absolutePath());
    QFile script(scriptPath);
    if (script.open(QIODevice::WriteOnly))
        script.write("#!/bin/sh\n"
                     "out=\"$0.args\"\n"
                     ": > \"$out.part\"\n"
                     "for a in \"$@\"; do printf '%s\\0' \"$a\" >> \"$out.part\"; done\n"
                     "mv \"$out.part\" \"$out\"\n");
    script.close();
    QFile::setPermissions(scriptPath,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

std::optional<QStringList> ArgumentRecorder::waitForRun(int timeoutMs) const
{
    const QString out = m_path + QStringLiteral(".args");
    // The event loop runs meanwhile, so that the starter sees its program end.
    if (!QTest::qWaitFor([&out] { return QFileInfo::exists(out); }, timeoutMs))
        return std::nullopt;
    const QByteArray bytes = readBytes(out);
    QFile::remove(out);
    QStringList args;
    for (const QByteArray& part : bytes.split('\0'))
        args << QString::fromUtf8(part);
    args.removeLast(); // after the last terminator
    return args;
}
