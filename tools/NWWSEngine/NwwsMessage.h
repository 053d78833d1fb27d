#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QString>

// One product as the room delivers it: the attributes of its nwws-oi
// element and the message text (UTF-8, as sent).
struct NwwsMessage
{
    QString cccc;
    QString ttaaii;
    QString issue;
    QString awipsId;
    QString id;
    QByteArray body;
};
Q_DECLARE_METATYPE(NwwsMessage)
