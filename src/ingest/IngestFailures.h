#pragma once

#include <QString>

// Why a product could not be handled now; caught by ProductProcessor.
namespace IngestFailure {

// The product file could not be opened for reading (still being written or
// no rights): it stays where it is.
struct UnreadableFile
{
};

// The product file cannot leave the Data-In directory now (no right to remove
// it there, or to create it in the store): it stays where it is.
struct NotTakenYet
{
    QString reason;
};

// The name or key cannot be used as a file name: the product is quarantined.
struct BadFileName
{
    QString reason;
};

} // namespace IngestFailure
