#pragma once

#include <QByteArray>
#include <QByteArrayView>

// Message digests as lower-case hex, through the system's crypto library
// (several times faster than Qt's own code on every product filed).
class Digest
{
public:
    static QByteArray sha256Hex(QByteArrayView data);
    static QByteArray sha1Hex(QByteArrayView data);
};
