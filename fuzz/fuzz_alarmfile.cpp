// The alarm definition file: one definition per line, 14 fields.

#include "FuzzInput.h"
#include "core/AlarmFile.h"
#include "platform/RuntimeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString path =
        FuzzInput::write(QStringLiteral("alarm-v15.cfg"), FuzzInput::bytes(data, size));
    AlarmFile alarms;
    try {
        alarms.load(path);
        alarms.loadExe(path);
        // What was read is written back the same way it is read.
        for (const AlarmDefinition& d : alarms.definitions())
            (void)AlarmFile::readLine(AlarmFile::writeLine(d));
    } catch (const RuntimeError&) {
    }
    return 0;
}
