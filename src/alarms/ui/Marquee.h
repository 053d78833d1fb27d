#pragma once

#include <QColor>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <QWidget>

// A one-line scrolling strip, like an electronic sign: the caption runs in
// from the right and out to the left, moved by a timer a few pixels at a
// time. It reports a click and the end of every pass; after the set number
// of passes it stops unless the owner renews them.
class Marquee : public QWidget
{
    Q_OBJECT
public:
    explicit Marquee(QWidget* parent = nullptr);

    void setCaption(const QString& caption);
    QString caption() const { return m_caption; }
    // Colours as red + 256 * green + 65536 * blue (0 black, 65280 green).
    void setColours(int background, int foreground);
    QColor background() const { return m_background; }
    QColor foreground() const { return m_foreground; }
    // Pixels moved per step.
    void setStep(int pixels);
    // Scrolling on or off.
    void setActive(bool on);
    bool isActive() const { return m_timer.isActive(); }
    // Speed in pixels per second; sets the step interval.
    void setSpeed(int pixelsPerSecond);
    int stepInterval() const { return m_timer.interval(); }
    // Width of the frame drawn in the text colour.
    void setBorder(int pixels);
    // Passes left before the strip stops.
    void setPasses(int passes);
    int passes() const { return m_passes; }

    // Where the caption starts, from the left edge (negative once it runs out).
    int textLeft() const;
    // One step (the timer calls it).
    void advance();

signals:
    void clicked();
    // A pass ended: the caption has left the strip on the left.
    void passCompleted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int textWidth() const;
    int cellWidth() const;
    void updateFont();

    QString m_caption;
    QColor m_background = Qt::black;
    QColor m_foreground = Qt::green;
    QTimer m_timer;
    int m_step = 3;
    int m_speed = 100;
    int m_border = 1;
    int m_passes = 1;
    int m_offset = 0; // pixels moved in the current pass
    mutable int m_textWidth = -1;
};
