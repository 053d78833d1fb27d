#pragma once

#include "images/FrameCache.h"
#include "images/FrameLoader.h"
#include "images/ISlideViewer.h"
#include "images/ImageList.h"
#include "images/SlideShow.h"
#include "images/WXPlot.h"
#include "images/ui/frmImage.h"

#include <QList>
#include <QObject>
#include <QPointer>
#include <memory>

class Settings;
class SettingsStore;
class StatusLine;
class DisplayState;
class ProductLists;
class IPrompter;
class IProcessLauncher;
class IClock;
class ISlideTarget;

// The main window's ways into the image viewers: one shared viewer (list
// clicks, the slide show, the image reopened at start-up), created on first
// use and again after the user has closed it, and any number of independent
// viewers (the Images button and File > Image Menu...). Owns the frame cache
// and loader the viewers share, the slide show, the image list and the
// WXPlot items. Viewers never keep the program running: closeAll() (also run
// when the controller goes) closes them, and they do not count as the
// program's last window.
class ImageController : public QObject, public ISlideViewer
{
    Q_OBJECT
public:
    struct Services
    {
        Settings& settings;
        SettingsStore& store;
        StatusLine& status;
        DisplayState& display;
        ProductLists& lists;
        IPrompter& prompter;
        IProcessLauncher& launcher;
        const IClock& clock;
        QString programDir;
    };

    ImageController(Services services, ISlideTarget& target, QObject* parent = nullptr);
    ~ImageController() override;

    // The shared viewer, created (hidden) when there is none.
    frmImage* sharedViewer();
    frmImage* existingSharedViewer() const { return m_shared; }
    // cmdImageDisplay_Click and mnuImages_Click: a new, empty viewer, shown.
    frmImage* newViewer();
    // An image file of the image directory in the shared viewer.
    void DisplayImage(const QString& product);
    // Start-up: the image name that was on show at the last exit, as a loop in
    // the shared viewer, when it is 6 characters or longer and files of it
    // exist. True when the viewer was opened.
    bool reopenLastImage();
    // Closes every viewer. The image name on show is kept, so that shutdown
    // may save it before or after this.
    void closeAll();
    QList<frmImage*> viewers() const;

    SlideShow& slideShow() { return *m_slideShow; }
    ImageList& imageList() { return m_imageList; }
    WXPlot& wxPlot() { return m_wxPlot; }
    FrameCache& cache() { return m_cache; }
    FrameLoader& loader() { return m_loader; }

    void hideForText() override;
    void showLoop(const QString& imageName) override;
    void showSingle(const QString& imageName) override;

private:
    frmImage* createViewer();
    void showShared();

    Services m_services;
    FrameCache m_cache;
    FrameLoader m_loader;
    ImageList m_imageList;
    WXPlot m_wxPlot;
    std::unique_ptr<SlideShow> m_slideShow;
    QPointer<frmImage> m_shared;
    QList<QPointer<frmImage>> m_viewers;
};
