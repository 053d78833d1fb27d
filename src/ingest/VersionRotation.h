#pragma once

#include <QString>

// The older versions of a filed product: key.1 (the previous one) up to
// key.N (the oldest kept), beside the product itself in one directory.
class VersionRotation
{
public:
    // directory: a setting that outlives this object; a change is followed.
    explicit VersionRotation(const QString& directory) : m_directory(directory) {}

    // Makes room for a new product under key: key.N is dropped, key.i
    // becomes key.(i+1), key becomes key.1; with no versions kept the
    // previous product is dropped. Throws RuntimeError when a step fails.
    void rotate(const QString& key, int count) const;

private:
    const QString& m_directory;
};
