#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

class DisplayState;
class IPrompter;
class Settings;
class StatusLine;

// The bulletin area's behaviour: finding a product in its store and showing
// it cleaned of its broadcast framing, and the text search. The window shows the display state's
// text.
class BulletinDisplay : public QObject
{
    Q_OBJECT
public:
    static inline const QString NotAvailable = QStringLiteral("     --- Product not available ---");
    static inline const QString TooLarge = QStringLiteral("File too large to be displayed.");
    static inline const QString SearchTitle = QStringLiteral("Vantorel Search");
    // Files above this size are not loaded into the display.
    static constexpr qint64 MaxDisplayBytes = 16 * 1024 * 1024;

    BulletinDisplay(const Settings& settings, DisplayState& display, StatusLine& status,
                    IPrompter& prompter, QObject* parent = nullptr);

    // Shows the stored product named by a list entry's file-name part.
    void DisplayProd(const QString& product);
    // The store directory of a product name; empty for AFOS graphics.
    QString directoryFor(const QString& product) const;

    // 0 = ask for a new search string, 1 = find the next occurrence.
    void FindText(int indicator);
    QString searchText() const { return m_searchText; }
    // Where the text shown is taken from for searching (the window's text by default
    // the state's display text).
    void setTextSource(std::function<QString()> source) { m_textSource = std::move(source); }

    // Shows a text file with an empty tag; throws RuntimeError when missing.
    // Of a file larger than MaxLogBytes (the ever-growing alarm log) only the
    // end is shown, under a line that says so.
    void showTextFile(const QString& path);
    static constexpr qint64 MaxLogBytes = 512 * 1024;
    // Shows a message rather than a product (empty tag).
    void showMessage(const QString& text);

signals:
    // Select the found text in the display and give it the focus.
    void selectRequested(int start, int length);
    // The display shows a product: compact mode is left.
    void leaveCompactRequested();

private:
    QString shownText() const;

    const Settings& m_settings;
    DisplayState& m_display;
    StatusLine& m_status;
    IPrompter& m_prompter;
    QString m_searchText;
    int m_nextStart = 1;
    std::function<QString()> m_textSource;
};
