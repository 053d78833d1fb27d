#pragma once

#include <QString>
#include <array>

class MainState;

// The values of the configuration dialog's fields.
struct ConfigFields
{
    QString text, images, hourly, dataIn, custom, server, personal, gphplot, wxplot;
    int mode = 0; // 0 Standalone, 1 Internet Feed, 2 Network
    QString port = QStringLiteral("1");
    QString baud = QStringLiteral("9600");
    bool idleEmail = false, idlePager = false, idleNet = false;
    QString delay;
    std::array<bool, 3> filters{true, true, true};
    std::array<QString, 3> state;
    int audio = 2; // 0 Restrict, 1 Once, 2 Unlimited
    bool metar = false;
    QString metarIds;
    bool reverse = false, longHeader = false, expandHeader = false, compress = false;
    bool internet = false, rcm = false, purge = true;
    QString purgeTime, purgeProd;
    QString latitude, longitude; // the user's location; both empty = none
    // Section "Notify"
    bool notifyDesktop = true, notifySpeak = false, notifyMailWords = false;
    QString notifyVoice = QStringLiteral("en-us");
    QString notifyRate = QStringLiteral("160");
};

// The logic of the configuration dialog: filling the fields from the
// settings, the changes that apply at once, and Save.
class ConfigModel
{
public:
    explicit ConfigModel(MainState& state);

    ConfigFields load() const;
    // Selecting an operational mode applies at once; Standalone validates the
    // first path fields, Internet Feed puts the current Data-In path back.
    void modeClicked(int index, ConfigFields& fields);
    // Appends the separator when missing and creates the directory.
    static QString validatePath(const QString& path);
    // Checks the plotting package directory; returns the accepted text (empty
    // when rejected, after a message) and shows the plot menu items through
    // wxPlotFound.
    QString validateWxPlot(const QString& path, bool* wxPlotFound);
    void filterClicked(int index, bool checked);
    // The address book entry n (1..25) and its setting.
    QString emailEntry(int n) const;
    void setEmailEntry(int n, const QString& address, bool writeToStore);
    // "Minutes of inactivity" as it leaves the field: a whole number from 0 to
    // 255 is kept (trimmed); anything else is refused with a message and the
    // field gets the value in use back.
    QString validateDelay(const QString& text);
    static bool isValidDelay(const QString& text);
    // Location fields as they leave the field: a valid value (or empty) is
    // kept (trimmed); anything else is refused with a message and the value
    // in use comes back.
    QString validateLatitude(const QString& text);
    QString validateLongitude(const QString& text);
    // Why the two location fields cannot be saved; empty when they can.
    static QString locationProblem(const QString& latitude, const QString& longitude);

    enum class SaveResult
    {
        Saved,
        RestartNeeded, // saved; the user was asked to restart
        Invalid,       // a field was refused; nothing was applied
        NotWritten,    // applied for this run, but the store could not be written
    };
    // Save: applies the fields, writes the store in its fixed order, registers
    // the mail server. The dialog closes only after Saved or RestartNeeded;
    // every other result has been reported to the user.
    SaveResult save(const ConfigFields& fields);

    static QString upperKey(const QString& text) { return text.toUpper(); }

private:
    MainState& m_state;
};
