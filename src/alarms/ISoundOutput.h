#pragma once

#include <QString>

// Where alarm sounds go: a sound file played once without waiting, the
// system beep, and closing the sound file being played.
class ISoundOutput
{
public:
    virtual ~ISoundOutput() = default;
    // Opens the sound file and starts it; a file playing is closed first.
    virtual void play(const QString& path) = 0;
    virtual void beep() = 0;
    // Stops and closes the sound file being played, if any.
    virtual void close() = 0;
};
