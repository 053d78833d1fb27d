#pragma once

#include "images/FrameLoader.h"

#include <QImage>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class Settings;
class StatusLine;
class IPrompter;
class IClock;

// What one image viewer window shows, without the window: ShowPic's loop of
// the newest frames of a name prefix, the newest single image of a prefix, a
// named image file, the loop timer tmrPicture and the status label text.
// Files are read and decoded by the frame loader off the window thread; a
// request that is overtaken by a newer one is dropped when it arrives.
class ImageViewer : public QObject
{
    Q_OBJECT
public:
    static constexpr int FrameInterval = 1000;
    static constexpr int NewestInterval = 5000;
    static constexpr int SlowStep = 1000;
    static constexpr int SlowLimit = 64000;
    static inline const QString NoImages = QStringLiteral("No images available");
    static inline const QString DisplayTitle = QStringLiteral("Vantorel Image Display");
    static inline const QString FileNotFound = QStringLiteral("File not found.");
    static inline const QString BadFileMessage = QStringLiteral("Error in image file.");

    struct Services
    {
        Settings& settings;  // GIFPath; ImageShowing is set by ShowPic
        StatusLine& status;  // quarantine reports
        IPrompter& prompter; // DisplayImage's messages
        const IClock& clock; // the age order of time stamps
        FrameLoader& loader;
        QString quarantineDir; // program directory + "track/bad/"
    };

    explicit ImageViewer(Services services, QObject* parent = nullptr);

    // The loop of the newest frames (at most 10) of the prefix; "?" matches
    // any one character. Starts the loop when there are two frames or more.
    void ShowPic(const QString& picName);
    // The newest image of the prefix alone (single-image menu items and slides).
    void showNewest(const QString& prefix);
    // One file of the image directory; the window is asked to show itself
    // once it is loaded. Stops a running loop so that it does not replace it.
    void DisplayImage(const QString& product);

    // 0 Start, 1 Slow, 2 Stop.
    void setLoop(int index);
    void showNextFrame();
    // 0 Atlantic ("A"), any other Pacific ("E").
    void chooseOcean(int index);
    QString ocean() const { return m_ocean; }
    void setOcean(const QString& letter) { m_ocean = letter; }
    // The prefix of an NHC item: ocean letter, four wild cards, the tag.
    QString nhcPrefix(const QString& tag) const;

    int LastFrame() const { return static_cast<int>(m_frames.size()) - 1; }
    int CurrentFrame() const { return m_currentFrame; }
    QStringList frameNames() const { return m_frameNames; }
    bool loopRunning() const { return m_tmrPicture.isActive(); }
    int loopInterval() const { return m_tmrPicture.interval(); }
    bool loopMenuEnabled() const { return m_loopMenuEnabled; }
    QImage picture() const { return m_picture; }
    // Path of the file whose picture is on show; empty when none.
    QString pictureFile() const { return m_pictureFile; }
    QString statusText() const { return m_statusText; }
    bool statusVisible() const { return m_statusVisible; }
    bool busy() const { return m_pending != 0; }
    // Hides the status label (the window does this when it lays itself out).
    void hideStatus();

signals:
    void pictureChanged(const QImage& picture);
    void statusChanged(const QString& text, bool visible);
    void loopMenuEnabledChanged(bool enabled);
    void loopRunningChanged(bool running);
    void busyChanged(bool busy);
    void showRequested();
    // The newest request has been answered (an overtaken one is dropped silently).
    void requestFinished();

private:
    void request(FrameRequest::Kind kind, const QString& name);
    void onLoaded(const FrameSet& set);
    void finishLoop(const FrameSet& set);
    void finishNewest(const FrameSet& set);
    void finishFile(const FrameSet& set);
    void reportBadImage(const FrameSet& set);
    void setStatus(const QString& text);
    void setPicture(const QImage& picture, const QString& file);
    void setLoopMenuEnabled(bool enabled);
    void setInterval(int ms);

    Services m_services;
    QTimer m_tmrPicture;
    QList<QImage> m_frames;
    QStringList m_frameNames;
    quint8 m_currentFrame = 0;
    QString m_ocean = QStringLiteral("A");
    QImage m_picture;
    QString m_pictureFile;
    QString m_statusText;
    bool m_statusVisible = false;
    bool m_loopMenuEnabled = false;
    quint64 m_pending = 0;
};
