#pragma once

#include "TestSupport.h"
#include "core/AlarmFile.h"
#include "core/DisplayState.h"
#include "core/ReferenceTables.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "observations/IMetarAlarmActions.h"
#include "observations/MetarAlarm.h"
#include "observations/MetarSearch.h"
#include "platform/TextPrinter.h"

#include <QDir>
#include <QFile>
#include <QStringList>

// What the METAR alarm asked the rest of the program to do: calls holds a
// short form of each request in order, the other lists the texts handed over.
class RecordingActions : public IMetarAlarmActions
{
public:
    void startSound(const QString& path) override
    {
        calls << "sound " + path.section(QLatin1Char('/'), -1);
    }
    QString mailRecipients(int index) const override { return addresses.value(index); }
    void sendMetarMail(const QString& body, const QString& recipients) override
    {
        calls << "mail " + recipients;
        bodies << body;
    }
    void page(const QString& text, int pagerIndex) override
    {
        calls << QStringLiteral("page %1").arg(pagerIndex);
        pages << text;
    }
    bool openScroll(const QString& caption, const QString& title) override
    {
        calls << "scroll";
        scrolls << title + " | " + caption;
        return scrollAllowed;
    }

    QStringList calls;
    QStringList bodies, pages, scrolls;
    QStringList addresses;
    bool scrollAllowed = true;
};

class RecordingPrinter : public ITextPrinter
{
public:
    bool printText(const QString& text, int pointSize) override
    {
        printed << QString::number(pointSize) + "|" + text;
        return true;
    }
    QStringList printed;
};

// The METAR search and alarm over a private home: program directory
// home/prog/, hourly directory home/hourly/, text directory home/text/,
// archive directory home/archive/.
struct ObservationFixture
{
    ObservationFixture()
        : programDir(home.path() + "/prog/"),
          alarm(settings, alarms, tables, status, display, clock, printer, actions, programDir),
          search(settings, display, prompter, alarm)
    {
        settings.SAPath = home.path() + "/hourly/";
        settings.TextPath = home.path() + "/text/";
        settings.ArchivePath = home.path() + "/archive/";
        for (const QString& dir :
             {programDir, settings.SAPath, settings.TextPath, settings.ArchivePath})
            QDir().mkpath(dir);
    }

    // Copies a collective of tests/data/metar into the hourly directory.
    QString addHourly(const QString& name, const QString& corpusFile) const
    {
        const QString path = settings.SAPath + name;
        QFile::copy(testDataPath("metar/" + corpusFile), path);
        return path;
    }

    QString read(const QString& path) const { return QString::fromLatin1(readBytes(path)); }

    TestHome home;
    QString programDir;
    Settings settings;
    AlarmFile alarms;
    ReferenceTables tables;
    StatusLine status;
    DisplayState display;
    FakeClock clock;
    RecordingPrinter printer;
    RecordingActions actions;
    ScriptedPrompter prompter;
    MetarAlarm alarm;
    MetarSearch search;
};
