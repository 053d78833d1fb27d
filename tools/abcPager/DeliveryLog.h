#pragma once

#include <QString>

// The pager's delivery log: one line per page, try and failure, each
// starting with the date and time; also echoed to standard error.
class DeliveryLog
{
public:
    explicit DeliveryLog(QString path);

    QString path() const { return m_path; }
    void write(const QString& message);

private:
    QString m_path;
};
