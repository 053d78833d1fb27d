#pragma once

#include <QPointer>
#include <QWidget>

// A window of which at most one is open: asked again, the open one is
// raised instead of a second one.
class SingleWindow
{
public:
    // Keeps created in slot when none is open (deleted on close), otherwise
    // drops it; shows and raises the window in slot.
    template <typename Window> static void present(QPointer<Window>& slot, Window* created)
    {
        if (!slot) {
            slot = created;
            slot->setAttribute(Qt::WA_DeleteOnClose);
            slot->setWindowFlag(Qt::Window);
        } else {
            delete created;
        }
        slot->show();
        slot->raise();
        slot->activateWindow();
    }
};
