#include "platform/FileLister.h"

#include <QDir>
#include <QRegularExpression>

namespace {
QStringList alternatives(const QString& pattern)
{
    QStringList parts = pattern.split(QLatin1Char(';'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        parts << QStringLiteral("*");
    return parts;
}

// Only "?" and "*" are special; every other character stands for itself.
QRegularExpression wildcardExpression(const QString& glob)
{
    QString rx;
    for (const QChar c : glob) {
        if (c == QLatin1Char('*'))
            rx += QStringLiteral(".*");
        else if (c == QLatin1Char('?'))
            rx += QLatin1Char('.');
        else
            rx += QRegularExpression::escape(QString(c));
    }
    return QRegularExpression(QRegularExpression::anchoredPattern(rx),
                              QRegularExpression::CaseInsensitiveOption |
                                  QRegularExpression::DotMatchesEverythingOption);
}
} // namespace

bool FileLister::matches(const QString& name, const QString& pattern)
{
    for (const QString& alt : alternatives(pattern)) {
        if (wildcardExpression(alt).match(name).hasMatch())
            return true;
    }
    return false;
}

QStringList FileLister::list(const QString& directory, const QString& pattern)
{
    const QDir dir(directory);
    if (directory.isEmpty() || !dir.exists())
        return {};
    const QStringList all = dir.entryList(QDir::Files | QDir::NoDotAndDotDot, QDir::NoSort);
    QList<QRegularExpression> expressions;
    for (const QString& alt : alternatives(pattern))
        expressions << wildcardExpression(alt);
    QStringList result;
    for (const QString& name : all) {
        for (const QRegularExpression& rx : expressions) {
            if (rx.match(name).hasMatch()) {
                result << name;
                break;
            }
        }
    }
    std::sort(result.begin(), result.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return result;
}
