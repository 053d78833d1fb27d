#include "images/ui/ImageController.h"

#include "core/Settings.h"
#include "images/ui/frmImage.h"
#include "platform/FileLister.h"

namespace {
constexpr int MinimumShowingLength = 6;
}

ImageController::ImageController(Services services, ISlideTarget& target, QObject* parent)
    : QObject(parent), m_services(std::move(services)), m_loader(m_cache),
      m_imageList(m_services.settings, m_services.lists),
      m_wxPlot(m_services.settings, m_services.display, m_services.launcher)
{
    m_slideShow = std::make_unique<SlideShow>(
        SlideShow::Services{m_services.programDir, m_services.settings, m_services.display,
                            m_services.status, m_services.prompter, target, *this});
}

ImageController::~ImageController()
{
    closeAll();
    // Windows closed above are deleted later; none may outlive the loader.
    for (const QPointer<frmImage>& v : std::as_const(m_viewers))
        delete v.data();
}

frmImage* ImageController::createViewer()
{
    auto* viewer =
        new frmImage({m_services.settings, m_services.store, m_services.status, m_services.prompter,
                      m_services.clock, m_loader, m_services.programDir});
    m_viewers.removeAll(nullptr);
    m_viewers << viewer;
    return viewer;
}

frmImage* ImageController::sharedViewer()
{
    if (!m_shared)
        m_shared = createViewer();
    return m_shared;
}

frmImage* ImageController::newViewer()
{
    frmImage* viewer = createViewer();
    viewer->show();
    return viewer;
}

QList<frmImage*> ImageController::viewers() const
{
    QList<frmImage*> open;
    for (const QPointer<frmImage>& v : m_viewers) {
        if (v)
            open << v.data();
    }
    return open;
}

void ImageController::showShared()
{
    frmImage* viewer = sharedViewer();
    if (viewer->isMinimized())
        viewer->showNormal();
    else
        viewer->show();
    viewer->raise();
}

void ImageController::DisplayImage(const QString& product)
{
    sharedViewer()->viewer().DisplayImage(product);
}

bool ImageController::reopenLastImage()
{
    Settings& s = m_services.settings;
    if (s.ImageShowing.size() < MinimumShowingLength)
        s.ImageShowing.clear();
    if (s.ImageShowing.isEmpty() ||
        FileLister::list(s.GIFPath, s.ImageShowing + QLatin1Char('*')).isEmpty())
        return false;
    showLoop(s.ImageShowing);
    return true;
}

void ImageController::closeAll()
{
    const QString showing = m_services.settings.ImageShowing;
    for (frmImage* viewer : viewers())
        viewer->close();
    m_services.settings.ImageShowing = showing;
}

void ImageController::hideForText()
{
    if (m_shared)
        m_shared->hide();
    m_services.settings.ImageShowing.clear();
}

void ImageController::showLoop(const QString& imageName)
{
    sharedViewer()->viewer().ShowPic(imageName);
    showShared();
}

void ImageController::showSingle(const QString& imageName)
{
    sharedViewer()->viewer().showNewest(imageName);
    showShared();
}
