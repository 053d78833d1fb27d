#pragma once

#include <QString>
#include <QStringList>

class SettingsStore;

// What the engines take from the shared settings store.
class IngestSettings
{
public:
    QString transferPath; // the Data-In directory, ending in "/"
    QString email;        // the user's own address, sent in the logon
    int portNum = 1;
    int baud = 9600;
    QStringList problems; // settings that could not be read as they stand

    // Reads the store; a never-set Data-In directory ("abcd") is the program
    // directory's "track/transfer/", as the program itself decides.
    static IngestSettings read(const SettingsStore& store);
    // The per-user program directory ($XDG_DATA_HOME/vantorel/), ending in "/".
    static QString programDirectory();
};
