#pragma once

#include "alarms/IScrollWindows.h"
#include "alarms/ui/frmScroll.h"

#include <QList>
#include <QObject>
#include <QPointer>

// The open scrolling alarm windows. Each alarm opens one more, up to MaxOpen
// at a time; a window closed by the user makes room again.
class ScrollWindows : public QObject, public IScrollWindows
{
    Q_OBJECT
public:
    static constexpr int MaxOpen = 10;

    explicit ScrollWindows(const frmScroll::Context& context, QObject* parent = nullptr);
    ~ScrollWindows() override;

    bool openScroll(const QString& caption, const QString& title, const QString& tag) override;
    int openCount() const;
    QList<frmScroll*> windows() const;
    void closeAll();

private:
    frmScroll::Context m_context;
    QList<QPointer<frmScroll>> m_windows;
};
