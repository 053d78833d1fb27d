#pragma once

#include <QString>

// Sends keystrokes to the window of another program, found by its title.
// Keys are written in the classic notation: "+" Shift, "%" Alt, "^" Ctrl,
// "{NAME}" a named key, "~" Enter; other characters are typed as they are.
class IKeystrokeSender
{
public:
    virtual ~IKeystrokeSender() = default;
    // False when the keystrokes could not be sent at all.
    virtual bool sendKeys(const QString& windowTitle, const QString& keys) = 0;
};
