#pragma once

#include <QString>

class MainState;

// Saves the displayed product's stored file to a place the user chose and
// remembers the directory (DefaultSaveDir) for the next save.
class SaveFile
{
public:
    static inline const QString DialogTitle = QStringLiteral("Vantorel Data Save");
    static inline const QString Filter = QStringLiteral("Text File (*.txt)");

    explicit SaveFile(MainState& state) : m_state(state) {}

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
    MainState& m_state;
};
