#pragma once

#include <QObject>
#include <QString>
#include <optional>

class AlarmFile;
class AlarmSound;
class DisplayState;
class IClock;
class IProcessLauncher;
class IScrollWindows;
class ProductLists;
class Settings;
class StatusLine;
class AlarmComponent;

// What the main window does for the alarm component's screen, scroll,
// sound, list, archive and program-start events. Handlers run inside the
// component's CheckAlarm; the two failures that alarm dispatch reports by
// number are thrown as RuntimeError: SubscriptOutOfRange when no further
// scrolling window may open, FileNotFound when an EXE alarm's program is
// missing.
class AlarmActions : public QObject
{
    Q_OBJECT
public:
    struct Context
    {
        QString programDir;
        const Settings& settings;
        const AlarmFile& alarms;
        DisplayState& display;
        ProductLists& lists;
        StatusLine& status;
        IProcessLauncher& launcher;
        IClock& clock;
        AlarmSound& sound;
    };

    static constexpr int MarqueeGap = 21;
    static inline const QString ListTone = QStringLiteral("alert9.wav");

    explicit AlarmActions(const Context& context, QObject* parent = nullptr);

    // The windows scroll alarms open in; without them nothing opens.
    void setScrollWindows(IScrollWindows* windows) { m_windows = windows; }
    // Connects the component's six events to the handlers below.
    void connectTo(AlarmComponent& component);

    void AlarmScreen(const QString& prodtxt, const QString& FullPathName);
    void AlarmVisual(const QString& producttxt, const QString& FullPathName,
                     const QString& CheckString);
    void PlayAudio(const QString& LocationF);
    void AlarmList(const QString& line);
    void AlarmArchive(const QString& pathname3, const QString& output3);
    void AlarmEXE(int exenum, const QString& FullerPathName);

    // Opens a scrolling window; false when no further one may be opened.
    bool openScroll(const QString& caption, const QString& title, const QString& tag);

    // The directory a filed name lives in: images in GIFPath, compressed
    // collections in SAPath, product keys in TextPath; none for ".GPH".
    static std::optional<QString> filingDirectory(const Settings& settings, const QString& name);

private:
    void copyReplacing(const QString& source, const QString& target) const;

    Context m_c;
    IScrollWindows* m_windows = nullptr;
};
