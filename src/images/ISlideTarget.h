#pragma once

#include <QString>

// What the slide show needs of the main window for a text slide: the product
// requested as if its name were typed into the manual entry box and Enter
// pressed, the bulletin area then given the focus. The display tag it leaves
// is read from the display state afterwards.
class ISlideTarget
{
public:
    virtual ~ISlideTarget() = default;
    virtual void requestTextProduct(const QString& name) = 0;
};
