#include "alarms/ui/Marquee.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace {
QColor fromRgbValue(int value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}
constexpr int MinimumInterval = 10;
} // namespace

Marquee::Marquee(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("vbm"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::PointingHandCursor);
    connect(&m_timer, &QTimer::timeout, this, &Marquee::advance);
    setSpeed(m_speed);
    updateFont();
}

void Marquee::setCaption(const QString& caption)
{
    m_caption = caption;
    m_textWidth = -1;
    m_offset = 0;
    update();
}

void Marquee::setColours(int background, int foreground)
{
    m_background = fromRgbValue(background);
    m_foreground = fromRgbValue(foreground);
    update();
}

void Marquee::setStep(int pixels)
{
    m_step = std::max(1, pixels);
    setSpeed(m_speed);
}

void Marquee::setActive(bool on)
{
    if (on && m_passes > 0)
        m_timer.start();
    else
        m_timer.stop();
}

void Marquee::setSpeed(int pixelsPerSecond)
{
    m_speed = std::max(1, pixelsPerSecond);
    m_timer.setInterval(std::max(MinimumInterval, m_step * 1000 / m_speed));
}

void Marquee::setBorder(int pixels)
{
    m_border = std::max(0, pixels);
    update();
}

void Marquee::setPasses(int passes)
{
    const bool wasStopped = m_passes <= 0;
    m_passes = passes;
    if (wasStopped && m_passes > 0 && !m_timer.isActive())
        m_timer.start();
}

int Marquee::cellWidth() const
{
    return std::max(1, QFontMetrics(font()).horizontalAdvance(QLatin1Char('M')));
}

int Marquee::textWidth() const
{
    if (m_textWidth < 0)
        m_textWidth = cellWidth() * static_cast<int>(m_caption.size());
    return m_textWidth;
}

int Marquee::textLeft() const
{
    return width() - m_offset;
}

void Marquee::advance()
{
    m_offset += m_step;
    if (textLeft() + textWidth() < 0) {
        m_offset = 0;
        --m_passes;
        emit passCompleted();
        if (m_passes <= 0)
            m_timer.stop();
    }
    update();
}

void Marquee::updateFont()
{
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::TypeWriter);
    f.setBold(true);
    f.setPixelSize(std::max(10, height() * 11 / 20));
    setFont(f);
    m_textWidth = -1;
}

void Marquee::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    updateFont();
}

void Marquee::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), m_background);
    p.setPen(m_foreground);
    p.setFont(font());
    const QFontMetrics fm(font());
    const int baseline = (height() + fm.ascent() - fm.descent()) / 2;
    // Only the characters in view are drawn: a whole bulletin runs through
    // the strip, and laying it all out on every step would be wasted work.
    const int cell = cellWidth();
    const int left = textLeft();
    const int first = left < 0 ? -left / cell : 0;
    const int count = width() / cell + 2;
    p.drawText(left + first * cell, baseline, m_caption.mid(first, count));
    if (m_border > 0) {
        QPen pen(m_foreground);
        pen.setWidth(m_border);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        const int half = m_border / 2;
        p.drawRect(rect().adjusted(half, half, -half - 1, -half - 1));
    }
}

void Marquee::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}
