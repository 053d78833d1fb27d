#include "platform/SystemInfo.h"

#include <QSysInfo>

QString SystemInfo::computerName()
{
    return QSysInfo::machineHostName().left(15);
}
