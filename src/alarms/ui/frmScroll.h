#pragma once

#include <QString>
#include <QWidget>
#include <functional>

class DisplayState;
class Marquee;
class Settings;
class SettingsStore;

// A scrolling alarm window: one line of alarm text running across a green on
// black strip, opened near the bottom left of the screen. Its width is the
// program-wide VBMWidth (kept in the settings when it closes); a click on
// the strip shows the alarm text in the bulletin area and closes the window;
// "~" mutes the alarm sound.
class frmScroll : public QWidget
{
    Q_OBJECT
public:
    struct Context
    {
        Settings& settings;
        SettingsStore& store;
        DisplayState& display;
        std::function<void()> mute;     // the main window's mute
        std::function<void()> showMain; // the main window to its normal state, shown
    };

    static constexpr double TwipsPerPixel = 15.0;
    static constexpr int WidthMargin = 135; // window width - strip width, in twips
    static constexpr int WindowHeight = 885;
    static constexpr int BottomGap = 500;
    static constexpr int LeftEdge = 50;
    static constexpr int MinimumWidth = 1500;
    static constexpr int MaximumWidth = 32767 - WidthMargin;

    explicit frmScroll(const Context& context, QWidget* parent = nullptr);

    // The opener's settings: strip caption, window caption, window tag.
    void setAlarm(const QString& caption, const QString& title, const QString& tag);
    QString tag() const { return m_tag; }
    Marquee* vbm() const { return m_vbm; }

    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void vbm_Click();

    static int toPixels(int twips);
    static int toTwips(int pixels);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    void placeStrip(int widthTwips);

    Context m_c;
    Marquee* m_vbm = nullptr;
    QString m_tag;
    bool m_loaded = false;
};
