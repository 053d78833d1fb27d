#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class DisplayState;
class Settings;
class StatusLine;
class IPrompter;
class ISlideTarget;
class ISlideViewer;

// The slide show: the menu item toggles it; while it runs, tmrSlideShow shows
// the next slide of slideshow.txt every 15 seconds. The position is kept
// between runs, so a restart continues after the last slide shown (or from
// the first when the file has become shorter).
class SlideShow : public QObject
{
    Q_OBJECT
public:
    static constexpr int Interval = 15000;
    static inline const QString NoSlides =
        QStringLiteral("No slides defined in the SlideShow.txt file");
    static inline const QString Title = QStringLiteral("Vantorel SlideShow");

    struct Services
    {
        QString programDir;
        const Settings& settings; // for the zone segment search
        DisplayState& display;
        StatusLine& status;
        IPrompter& prompter;
        ISlideTarget& target;
        ISlideViewer& viewer;
    };

    explicit SlideShow(Services services, QObject* parent = nullptr);

    void toggle();
    void showNextSlide();

    bool checked() const { return m_checked; }
    bool running() const { return m_tmrSlideShow.isActive(); }
    int LastSlide() const { return static_cast<int>(m_slides.size()) - 1; }
    int CurrentSlide() const { return m_currentSlide; }
    const QStringList& slides() const { return m_slides; }
    const QTimer& timer() const { return m_tmrSlideShow; }

signals:
    void checkedChanged(bool checked);

private:
    void showTextSlide(const QString& name, const QString& zoneCode, bool withZone);

    Services m_services;
    QTimer m_tmrSlideShow;
    QStringList m_slides;
    quint8 m_currentSlide = 0;
    bool m_checked = false;
};
