#pragma once

#include <QString>

// Takes one product file out of the Data-In directory. After the call the file
// is no longer there (filed, removed or replaced by its extracted contents).
// May throw RuntimeError; PathFileAccess means "still being written, retry".
class IProductProcessor
{
public:
    virtual ~IProductProcessor() = default;
    // fileName is the bare name, without directory.
    virtual void ProcessData(const QString& fileName) = 0;
};
