#pragma once

#include <QObject>
#include <QString>

// The bulletin area txtDisplay as the program sees it: the text on show and
// its tag, the name of the product on show (empty for messages and logs).
// Printing, saving, e-mail and paging act on the tagged product.
class DisplayState : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    QString text() const { return m_text; }
    QString tag() const { return m_tag; }
    void setDisplay(const QString& text, const QString& tag = QString());

signals:
    void changed(const QString& text, const QString& tag);

private:
    QString m_text;
    QString m_tag;
};
