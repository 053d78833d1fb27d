#pragma once

#include <QString>

// Finds top-level windows of other programs by title and hides, restores or
// raises them. A handle of 0 means "not found".
class IWindowControl
{
public:
    virtual ~IWindowControl() = default;
    virtual quint64 findWindow(const QString& exactTitle) = 0;
    virtual void hide(quint64 window) = 0;
    virtual void restore(quint64 window) = 0;
    virtual void raise(quint64 window) = 0;
};

// For platforms without a reachable window system: nothing is ever found.
class NullWindowControl : public IWindowControl
{
public:
    quint64 findWindow(const QString&) override { return 0; }
    void hide(quint64) override {}
    void restore(quint64) override {}
    void raise(quint64) override {}
};
