#pragma once

#include <QImage>
#include <QWidget>

// The picture of the image viewer (Picture2): exactly as large as its image,
// placed in a scroll area that scrolls it when it is larger than the window.
// Painting takes the decoded image as it is, without conversion.
class PictureWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PictureWidget(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_image;
};
