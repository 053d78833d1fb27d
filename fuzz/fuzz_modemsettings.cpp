// The paging program's modem settings file.

#include "FuzzInput.h"
#include "abcPager/ModemSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // load() reads the file whole and hands its text here; the text is given
    // in memory, so that a run tries the parser and not the file system.
    ModemSettings settings;
    settings.fromText(QString::fromUtf8(FuzzInput::bytes(data, size)));
    return 0;
}
