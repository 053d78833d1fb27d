#pragma once

#include <QString>

// The shared image viewer as the slide show uses it.
class ISlideViewer
{
public:
    virtual ~ISlideViewer() = default;
    // A text slide: the viewer is hidden and no image counts as showing.
    virtual void hideForText() = 0;
    // The loop of the newest frames of the image name, shown.
    virtual void showLoop(const QString& imageName) = 0;
    // The newest single image of the image name (loop stopped), shown.
    virtual void showSingle(const QString& imageName) = 0;
};
