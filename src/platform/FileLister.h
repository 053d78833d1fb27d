#pragma once

#include <QString>
#include <QStringList>

// Lists the ordinary (not hidden) files of a directory whose names match a
// pattern: "?" one character, "*" any run, ";" separating alternatives. Names
// are compared and sorted without regard to case.
class FileLister
{
public:
    static QStringList list(const QString& directory, const QString& pattern = QStringLiteral("*"));
    static bool matches(const QString& name, const QString& pattern);
};
