#pragma once

// One image viewer over a private image directory, with the services it
// needs; requests are awaited through requestFinished.

#include "ImageTestFiles.h"
#include "TestSupport.h"
#include "core/Settings.h"
#include "core/StatusLine.h"
#include "images/FrameCache.h"
#include "images/FrameLoader.h"
#include "images/ImageViewer.h"

#include <QSignalSpy>
#include <functional>

struct ImageViewerFixture
{
    TestHome home;
    QString images = home.path() + QStringLiteral("/images/");
    QString quarantine = home.path() + QStringLiteral("/prog/track/bad/");
    Settings settings;
    StatusLine status;
    ScriptedPrompter prompter;
    FakeClock clock;
    FrameCache cache;
    FrameLoader loader{cache};
    ImageViewer viewer{{settings, status, prompter, clock, loader, quarantine}};

    ImageViewerFixture()
    {
        settings.GIFPath = images;
        QDir().mkpath(images);
    }
    void write(const QStringList& names, const QSize& size = QSize(40, 30))
    {
        int seed = 0;
        for (const QString& name : names)
            imagetest::writeImage(images, name, size, ++seed);
    }
    // Runs a request and waits for its answer.
    bool run(const std::function<void()>& request)
    {
        QSignalSpy done(&viewer, &ImageViewer::requestFinished);
        request();
        return done.wait(10000);
    }
};
