#include "platform/RuntimeError.h"

RuntimeError::RuntimeError(ErrorNumber number, QString detail)
    : m_number(number), m_detail(std::move(detail))
{
}

QString RuntimeError::standardText(ErrorNumber number)
{
    switch (number) {
    case ErrorNumber::InvalidCall:
        return QStringLiteral("Invalid procedure call or argument");
    case ErrorNumber::Overflow:
        return QStringLiteral("Overflow");
    case ErrorNumber::SubscriptOutOfRange:
        return QStringLiteral("Subscript out of range");
    case ErrorNumber::TypeMismatch:
        return QStringLiteral("Type mismatch");
    case ErrorNumber::FileNotFound:
        return QStringLiteral("File not found");
    case ErrorNumber::DiskFull:
        return QStringLiteral("Disk full");
    case ErrorNumber::InputPastEnd:
        return QStringLiteral("Input past end of file");
    case ErrorNumber::PermissionDenied:
        return QStringLiteral("Permission denied");
    case ErrorNumber::PathFileAccess:
        return QStringLiteral("Path/File access error");
    case ErrorNumber::PathNotFound:
        return QStringLiteral("Path not found");
    case ErrorNumber::ControlArrayMissing:
        return QStringLiteral("Control array element does not exist");
    case ErrorNumber::InvalidExpression:
        return QStringLiteral("Invalid regular expression");
    }
    return QStringLiteral("Unexpected error");
}

QString RuntimeError::text() const
{
    const QString base = standardText(m_number);
    return m_detail.isEmpty() ? base : base + QStringLiteral(" (") + m_detail + QLatin1Char(')');
}

const char* RuntimeError::what() const noexcept
{
    m_what = text().toUtf8();
    return m_what.constData();
}
