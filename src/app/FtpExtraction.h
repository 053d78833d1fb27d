#pragma once

#include "ftp/IZipExtractor.h"

class AlarmFile;
class Settings;
class StatusLine;

// Extraction of a downloaded product set for the FTP download, on its worker
// thread: the archive library's extraction (every member into the Data-In
// directory), with its "Unzipped Successfully" / "Unzip error #N" text passed
// to the status line on the window thread. A password-protected set is
// refused rather than asked for, since no dialog can open off the window thread.
class FtpExtraction : public IZipExtractor
{
public:
    FtpExtraction(const Settings& settings, const AlarmFile& alarms, StatusLine& status);

    int Unzipit(const QString& FileN, const QString& FileP) override;

private:
    const Settings& m_settings;
    const AlarmFile& m_alarms;
    StatusLine& m_status;
};
