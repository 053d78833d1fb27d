#pragma once

#include <QString>

class DisplayState;
class IPrompter;
class Settings;
class SettingsStore;

// Saves the displayed product's stored file to a place the user chose and
// remembers the directory (DefaultSaveDir) for the next save.
class SaveFile
{
public:
    static inline const QString DialogTitle = QStringLiteral("Vantorel Data Save");
    static inline const QString Filter = QStringLiteral("Text File (*.txt)");

    SaveFile(const DisplayState& display, Settings& settings, SettingsStore& store,
             IPrompter& prompter)
        : m_display(display), m_settings(settings), m_store(store), m_prompter(prompter)
    {
    }

    // True when a product is on show; otherwise the user is told so.
    bool canSave() const;
    // Where the dialog starts: DefaultSaveDir + the product name.
    QString initialPath() const;
    // Copies TextPath + the shown product to path (replacing it), then stores
    // the directory part as DefaultSaveDir. Throws RuntimeError on failure.
    void save(const QString& path);
    // Runs the above and reports a failure with the "MAIN: SaveFile" caption.
    bool saveReporting(const QString& path);

private:
    const DisplayState& m_display;
    Settings& m_settings;
    SettingsStore& m_store;
    IPrompter& m_prompter;
};
