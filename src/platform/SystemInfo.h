#pragma once

#include <QString>

class SystemInfo
{
public:
    // The computer's network name, at most 15 characters; empty when unknown.
    static QString computerName();
};
