#include "images/SlideShow.h"

#include "core/DisplayState.h"
#include "core/StatusLine.h"
#include "core/UgcSearch.h"
#include "images/ISlideTarget.h"
#include "images/ISlideViewer.h"
#include "images/SlideFile.h"
#include "platform/Prompter.h"
#include "platform/RuntimeError.h"

SlideShow::SlideShow(Services services, QObject* parent)
    : QObject(parent), m_services(std::move(services))
{
    m_tmrSlideShow.setInterval(Interval);
    connect(&m_tmrSlideShow, &QTimer::timeout, this, &SlideShow::showNextSlide);
}

void SlideShow::toggle()
{
    m_checked = !m_checked;
    emit checkedChanged(m_checked);
    if (!m_checked) {
        m_tmrSlideShow.stop();
        return;
    }
    m_tmrSlideShow.start();
    bool overflow = false;
    m_slides = SlideFile::read(SlideFile::find(m_services.programDir), &overflow);
    if (overflow)
        m_services.status.setText(QStringLiteral("Slide show: only the first %1 slides are shown")
                                      .arg(SlideFile::MaxSlides));
    showNextSlide();
}

void SlideShow::showNextSlide()
{
    if (LastSlide() < 0) {
        m_tmrSlideShow.stop();
        m_services.prompter.message(NoSlides, Title, IPrompter::Icon::Critical);
        return;
    }
    if (m_currentSlide > LastSlide())
        m_currentSlide = 0;
    const SlideFile::Slide slide = SlideFile::classify(m_slides.at(m_currentSlide));
    switch (slide.kind) {
    case SlideFile::Kind::Text:
        showTextSlide(slide.name, QString(), false);
        break;
    case SlideFile::Kind::TextZone:
        showTextSlide(slide.name, slide.zoneCode, true);
        break;
    case SlideFile::Kind::ImageSingle:
        m_services.viewer.showSingle(slide.name);
        break;
    case SlideFile::Kind::ImageLoop:
        m_services.viewer.showLoop(slide.name);
        break;
    }
    ++m_currentSlide;
    if (m_currentSlide > LastSlide())
        m_currentSlide = 0;
}

void SlideShow::showTextSlide(const QString& name, const QString& zoneCode, bool withZone)
{
    m_services.viewer.hideForText();
    m_services.target.requestTextProduct(name);
    DisplayState& display = m_services.display;
    if (!withZone || display.tag().isEmpty())
        return;
    UgcSearch search(m_services.settings);
    try {
        if (search.FindUGC(zoneCode, display.tag()))
            display.setDisplay(search.SegmentText(), display.tag());
    } catch (const RuntimeError&) {
        // The product on show is not a filed one (a message or a fetch in
        // progress): the whole product stays on show.
    }
}
