#pragma once

#include <QString>
#include <exception>

// The error numbers the program reports ("Error: N"). Failures of file, parse
// and table operations are mapped onto these so that every handler can react
// by number the same way everywhere.
enum class ErrorNumber : int
{
    InvalidCall = 5,
    Overflow = 6,
    SubscriptOutOfRange = 9,
    TypeMismatch = 13,
    FileNotFound = 53,
    DiskFull = 61,
    InputPastEnd = 62,
    PermissionDenied = 70,
    PathFileAccess = 75,
    PathNotFound = 76,
    ControlArrayMissing = 340,
    InvalidExpression = 35754,
};

// A failure carried up to the handler of the operation that caused it.
class RuntimeError : public std::exception
{
public:
    explicit RuntimeError(ErrorNumber number, QString detail = QString());

    ErrorNumber number() const { return m_number; }
    int code() const { return static_cast<int>(m_number); }
    // The "Possible Causes" text: the standard text of the number, plus detail.
    QString text() const;
    const char* what() const noexcept override;

    static QString standardText(ErrorNumber number);

private:
    ErrorNumber m_number;
    QString m_detail;
    mutable QByteArray m_what;
};
