#include "product/BulletinText.h"

namespace {
const QByteArray kWmoStart("\x01\r\r\n", 4);
} // namespace

QString BulletinText::clean(const QByteArray& raw, LeadingNul leadingNul)
{
    QByteArray bytes = raw;
    const qsizetype start = bytes.indexOf(kWmoStart);
    if (start >= 0)
        bytes.remove(0, start + kWmoStart.size());
    bytes.replace("\r\r", "\r");
    if (leadingNul == LeadingNul::MeansMissing && bytes.startsWith('\0'))
        return QString();
    bytes.replace(QByteArray(1, '\0'), QByteArray());
    return QString::fromLatin1(bytes);
}
