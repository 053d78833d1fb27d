#pragma once

#include <QObject>
#include <QString>

// The one-line status text of the main window (txtStatus). Every subsystem
// reports progress here; the window shows what it holds.
class StatusLine : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    QString text() const { return m_text; }
    void setText(const QString& text);

signals:
    void changed(const QString& text);

private:
    QString m_text;
};
