#pragma once

#include <QString>

// The mailer's own log: one line per send, try and failure, each starting
// with the date and time; also echoed to standard error unless quiet. Line
// breaks inside a message are blanked, so an entry is always one line.
class BlatLog
{
public:
    BlatLog(QString path, bool quiet);

    QString path() const { return m_path; }
    void write(const QString& message);
    // Multi-line text (the SMTP dialogue), indented under one heading line.
    void writeBlock(const QString& heading, const QString& text);

private:
    void append(const QByteArray& bytes);

    QString m_path;
    bool m_quiet;
};
