#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

// One button, category menu entry or quick menu entry: what the user sees
// and the request text a click acts on.
struct MenuEntry
{
    QString caption;
    QString tag;
};

// An entry of the menu item table: the categories an item lists, its caption
// and how many versions of those products are kept (-1 = ignore the product).
struct MenuItem
{
    QString categories;
    QString caption;
    qint16 retention = 0;
};

struct OfficeRetention
{
    QString office;
    qint16 retention = 0;
};

// The request buttons, the eight category menus, the quick menu and the
// options of the main menu file, read from the three definition files.
class MenuDefinitions
{
public:
    static constexpr int SectionCount = 8, ItemsPerSection = 30, ButtonCount = 9, QuickCount = 30;
    static constexpr int MaxMenuItems = 501, MaxOffices = 101, CaptionWidth = 9;

    void loadButtons(const QString& path);  // "Vantorel-Button.txt"
    void loadMainMenu(const QString& path); // "Vantorel-MainMenu.txt"
    void loadQuick(const QString& path);    // "Vantorel-Quick.txt"

    const QList<MenuEntry>& buttons() const { return m_buttons; }
    void setButtonCaption(int index, const QString& caption);

    // Entries of category menu 0..7; the position is the item index.
    const QList<MenuEntry>& section(int section) const;
    const QList<MenuItem>& menuItems() const { return m_menuItems; }
    int menuItemCount() const { return static_cast<int>(m_menuItems.size()) - 1; }
    const QList<OfficeRetention>& offices() const { return m_offices; }
    int officeCount() const { return static_cast<int>(m_offices.size()) - 1; }
    std::optional<int> colourScheme() const { return m_colourScheme; }
    std::optional<int> fontSize() const { return m_fontSize; }
    QStringList automaticStateFilters() const { return m_stateFilters; }
    quint8 restrictedAudioMinutes() const { return m_restrictedAudioMinutes; }
    bool tooManyMenuItems() const { return m_tooManyMenuItems; }

    const QList<MenuEntry>& quickItems() const { return m_quick; }

private:
    // Sections of the main menu file after the eight category menus.
    enum Section
    {
        Offices = 8,
        Color = 9,
        FontSize = 10,
        AutomaticStateFilter = 11,
        RestrictedAudio = 12,
        SvsInWar = 13,
        FloodCode = 14,
    };
    struct Cursor
    {
        int section = 0;
        int itemIndex = 0;
        int lineNumber = 0;
        QString path;
    };

    void resetMainMenu();
    static std::optional<int> sectionOf(const QString& header);
    void readMainMenuLine(const QString& line, Cursor& cursor);
    void addItem(const QString& line, Cursor& cursor);
    void addOffice(const QString& line, const Cursor& cursor);
    void readOption(const QString& line, const Cursor& cursor);

    QList<MenuEntry> m_buttons;
    std::array<QList<MenuEntry>, SectionCount> m_sections;
    QList<MenuItem> m_menuItems;
    QList<OfficeRetention> m_offices;
    std::optional<int> m_colourScheme;
    std::optional<int> m_fontSize;
    QStringList m_stateFilters;
    quint8 m_restrictedAudioMinutes = 0;
    bool m_tooManyMenuItems = false;
    QList<MenuEntry> m_quick;
};
