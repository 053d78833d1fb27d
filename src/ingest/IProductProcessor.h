#pragma once

#include <QByteArray>
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
    // An entry of the Data-In directory that cannot be a product (a link, a
    // device, a name that is no text, a stale hidden file): it is set aside,
    // never followed, and reported.
    virtual void refuse(const QByteArray& rawName, const QString& reason)
    {
        Q_UNUSED(rawName)
        Q_UNUSED(reason)
    }
    // Before the first poll: puts back what an interrupted run left half done.
    virtual void recover() {}
};
