#include "images/ui/PictureWidget.h"

#include <QPaintEvent>
#include <QPainter>

PictureWidget::PictureWidget(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureWidget::setImage(const QImage& image)
{
    m_image = image;
    const QSize size = image.isNull() ? QSize(1, 1) : image.size();
    if (this->size() != size)
        resize(size);
    update();
}

QSize PictureWidget::sizeHint() const
{
    return m_image.isNull() ? QSize(1, 1) : m_image.size();
}

void PictureWidget::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    if (m_image.isNull()) {
        painter.fillRect(event->rect(), palette().window());
        return;
    }
    painter.drawImage(event->rect().topLeft(), m_image, event->rect());
}
