// The pager files: users.ini and groups.ini as the program reads them, and as
// the paging program abcPager reads them. The input holds users.ini, a line
// "----", then groups.ini.

#include "FuzzInput.h"
#include "abcPager/PagerTargets.h"
#include "notify/PagerConfig.h"
#include "platform/RuntimeError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto [users, groups] = FuzzInput::split(FuzzInput::bytes(data, size), "\n----\n");
    const QString dir = FuzzInput::scratch() + QStringLiteral("pager/");
    QDir().mkpath(dir);
    FuzzInput::write(QStringLiteral("pager/users.ini"), users);
    FuzzInput::write(QStringLiteral("pager/groups.ini"), groups);
    try {
        const PagerConfig config = PagerConfig::load(dir);
        (void)config.definedGroups();
        for (int g = 0; g <= PagerConfig::GroupCount + 1; ++g)
            (void)config.group(g);
        (void)config.usersLines();
        (void)config.groupsLines();
    } catch (const RuntimeError&) {
    }
    PagerTargets targets;
    QString error;
    if (targets.load(dir, &error)) {
        for (const char* recipient : {"1234", "!GROUP1", "!group10", "!GROUP11", ""})
            (void)targets.resolve(QLatin1String(recipient), &error);
    }
    return 0;
}
