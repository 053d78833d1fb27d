// The paging program's modem settings file.

#include "FuzzInput.h"
#include "abcPager/ModemSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ModemSettings settings;
    QString error;
    (void)settings.load(FuzzInput::write(ModemSettings::fileName(), FuzzInput::bytes(data, size)),
                        &error);
    return 0;
}
