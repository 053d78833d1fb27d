#include "images/ImageViewer.h"

#include "core/Settings.h"
#include "core/StatusLine.h"
#include "platform/Clock.h"
#include "platform/Prompter.h"

ImageViewer::ImageViewer(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services))
{
    m_tmrPicture.setInterval(FrameInterval);
    connect(&m_tmrPicture, &QTimer::timeout, this, &ImageViewer::showNextFrame);
    connect(&m_services.loader, &FrameLoader::loaded, this, &ImageViewer::onLoaded);
}

void ImageViewer::ShowPic(const QString& picName)
{
    hideStatus();
    setLoop(2);
    m_services.settings.ImageShowing = picName;
    request(FrameRequest::Kind::Loop, picName);
}

void ImageViewer::showNewest(const QString& prefix)
{
    hideStatus();
    setLoop(2);
    request(FrameRequest::Kind::Newest, prefix);
}

void ImageViewer::DisplayImage(const QString& product)
{
    setLoop(2);
    request(FrameRequest::Kind::File, product);
}

void ImageViewer::request(FrameRequest::Kind kind, const QString& name)
{
    FrameRequest r;
    r.kind = kind;
    r.directory = m_services.settings.GIFPath;
    r.name = name;
    r.now = m_services.clock.now();
    r.quarantineDir = m_services.quarantineDir;
    const bool wasBusy = busy();
    m_pending = m_services.loader.load(r);
    if (!wasBusy)
        emit busyChanged(true);
}

void ImageViewer::onLoaded(const FrameSet& set)
{
    if (set.ticket != m_pending)
        return; // another viewer's request, or one overtaken by a newer request
    m_pending = 0;
    emit busyChanged(false);
    switch (set.request.kind) {
    case FrameRequest::Kind::Loop:
        finishLoop(set);
        break;
    case FrameRequest::Kind::Newest:
        finishNewest(set);
        break;
    case FrameRequest::Kind::File:
        finishFile(set);
        break;
    }
    emit requestFinished();
}

void ImageViewer::finishLoop(const FrameSet& set)
{
    if (set.outcome != FrameSet::Outcome::Loaded) {
        m_frames.clear();
        m_frameNames.clear();
        m_currentFrame = 0;
        if (set.outcome == FrameSet::Outcome::BadImage) {
            reportBadImage(set);
        } else {
            setStatus(NoImages);
            setLoopMenuEnabled(false);
        }
        return;
    }
    if (set.leftOut > 0)
        m_services.status.setText(QStringLiteral("Image loop %1: the %2 oldest frame(s) left out, "
                                                 "the pictures are too large to hold them all")
                                      .arg(set.request.name)
                                      .arg(set.leftOut));
    m_frames = set.images;
    m_frameNames = set.names;
    m_currentFrame = 0;
    setPicture(m_frames.last(), set.request.directory + m_frameNames.last());
    if (m_frames.size() > 1) {
        setLoopMenuEnabled(true);
        setLoop(0);
    }
}

void ImageViewer::finishNewest(const FrameSet& set)
{
    if (set.outcome == FrameSet::Outcome::BadImage) {
        reportBadImage(set);
    } else if (set.outcome != FrameSet::Outcome::Loaded) {
        setStatus(NoImages);
    } else {
        setPicture(set.images.first(), set.request.directory + set.names.first());
        setLoopMenuEnabled(false);
    }
}

void ImageViewer::finishFile(const FrameSet& set)
{
    IPrompter& prompter = m_services.prompter;
    switch (set.outcome) {
    case FrameSet::Outcome::Loaded:
        setPicture(set.images.first(), set.request.directory + set.names.first());
        emit showRequested();
        break;
    case FrameSet::Outcome::BadImage:
        reportBadImage(set);
        prompter.message(BadFileMessage + QStringLiteral("\n\n") +
                             (set.quarantined.isEmpty()
                                  ? QStringLiteral("It could not be moved out of the image "
                                                   "directory: ") +
                                        set.request.directory + set.badName
                                  : QStringLiteral("It was moved to ") + set.quarantined),
                         DisplayTitle, IPrompter::Icon::Critical);
        break;
    case FrameSet::Outcome::NotFound:
    case FrameSet::Outcome::NoImages:
        prompter.message(FileNotFound, DisplayTitle, IPrompter::Icon::Critical);
        break;
    }
}

// A picture that cannot be decoded is not shown; the file has gone to the
// quarantine instead of being deleted.
void ImageViewer::reportBadImage(const FrameSet& set)
{
    const QString detail = set.badName + QStringLiteral(" (bad image") +
                           (set.error.isEmpty() ? QString() : QStringLiteral(": ") + set.error) +
                           QLatin1Char(')');
    if (set.quarantined.isEmpty()) {
        setStatus(QStringLiteral("Bad image file, could not move it to track/bad: ") + set.badName);
        m_services.status.setText(QStringLiteral("Could not move to track/bad: ") + detail);
    } else {
        setStatus(QStringLiteral("Bad image file, moved to track/bad: ") + set.badName);
        m_services.status.setText(QStringLiteral("Moved to track/bad: ") + detail);
    }
}

void ImageViewer::showNextFrame()
{
    if (m_frames.isEmpty())
        return;
    if (m_currentFrame > LastFrame())
        m_currentFrame = 0;
    const int shown = m_currentFrame;
    setPicture(m_frames.at(shown), m_services.settings.GIFPath + m_frameNames.value(shown));
    ++m_currentFrame;
    if (m_currentFrame <= LastFrame()) {
        setInterval(FrameInterval);
    } else {
        m_currentFrame = 0;
        setInterval(NewestInterval);
    }
}

void ImageViewer::setInterval(int ms)
{
    if (m_tmrPicture.interval() != ms)
        m_tmrPicture.setInterval(ms);
}

void ImageViewer::setLoop(int index)
{
    switch (index) {
    case 0:
        m_tmrPicture.start();
        emit loopRunningChanged(true);
        break;
    case 1:
        if (m_tmrPicture.interval() < SlowLimit)
            m_tmrPicture.setInterval(m_tmrPicture.interval() + SlowStep);
        break;
    case 2:
        m_tmrPicture.stop();
        emit loopRunningChanged(false);
        break;
    default:
        break;
    }
}

void ImageViewer::chooseOcean(int index)
{
    m_ocean = index == 0 ? QStringLiteral("A") : QStringLiteral("E");
}

QString ImageViewer::nhcPrefix(const QString& tag) const
{
    return m_ocean + QStringLiteral("????") + tag;
}

void ImageViewer::hideStatus()
{
    if (!m_statusVisible)
        return;
    m_statusVisible = false;
    emit statusChanged(m_statusText, false);
}

void ImageViewer::setStatus(const QString& text)
{
    m_statusText = text;
    m_statusVisible = true;
    emit statusChanged(text, true);
}

void ImageViewer::setPicture(const QImage& picture, const QString& file)
{
    m_picture = picture;
    m_pictureFile = file;
    hideStatus();
    emit pictureChanged(picture);
}

void ImageViewer::setLoopMenuEnabled(bool enabled)
{
    if (m_loopMenuEnabled == enabled)
        return;
    m_loopMenuEnabled = enabled;
    emit loopMenuEnabledChanged(enabled);
}
