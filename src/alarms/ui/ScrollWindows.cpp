#include "alarms/ui/ScrollWindows.h"

ScrollWindows::ScrollWindows(const frmScroll::Context& context, QObject* parent)
    : QObject(parent), m_context(context)
{
}

ScrollWindows::~ScrollWindows()
{
    closeAll();
}

QList<frmScroll*> ScrollWindows::windows() const
{
    QList<frmScroll*> open;
    // A closed window is hidden at once and deleted a little later.
    for (const QPointer<frmScroll>& w : m_windows) {
        if (w && !w->isHidden())
            open << w.data();
    }
    return open;
}

int ScrollWindows::openCount() const
{
    return static_cast<int>(windows().size());
}

bool ScrollWindows::openScroll(const QString& caption, const QString& title, const QString& tag)
{
    const QList<frmScroll*> open = windows();
    if (open.size() >= MaxOpen)
        return false;
    m_windows = QList<QPointer<frmScroll>>(open.begin(), open.end());
    auto* window = new frmScroll(m_context);
    window->setAlarm(caption, title, tag);
    m_windows << window;
    window->show();
    return true;
}

void ScrollWindows::closeAll()
{
    for (frmScroll* w : windows())
        w->close();
    m_windows.clear();
}
