#pragma once

#include "platform/RuntimeError.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

class StatusLine;

// The image viewer's menus as read from "Vantorel-ImageMenu.txt": nine groups
// of 25 slots, each slot a caption and the image name prefix it shows.
//
// Lines of 3 characters or fewer and lines starting with "#" are skipped; a
// line holding "[END]" ends the file. A line starting with "[" restarts the
// slot counter; when it is exactly one of the group headers it also selects
// that group. Any other line is "caption,prefix", cut at the first comma.
class ImageMenuFile
{
public:
    enum Group
    {
        Composite,
        GOES,
        Lightning,
        Radar,
        Hurricane,
        NHC,
        Model,
        Forecast,
        Misc,
        GroupCount
    };
    static constexpr int SlotsPerGroup = 25;
    static inline const QString FileName = QStringLiteral("Vantorel-ImageMenu.txt");
    static inline const QString TooManyItems =
        QStringLiteral("Too many menu items for the image menu, maximum of 10.");

    struct Slot
    {
        QString caption;
        QString tag;
        bool visible = false;
    };
    using Slots = std::array<Slot, SlotsPerGroup>;

    ImageMenuFile();

    // Reads the file. A 26th item of a group is dropped with the status
    // message; any other failure (missing file, item without a comma) stops
    // reading and is kept in error(), with the slots filled so far.
    void read(const QString& path, StatusLine* status);

    const Slots& group(Group g) const { return m_groups.at(g); }
    const std::optional<RuntimeError>& error() const { return m_error; }

    // "[Composite]" ... "[Forecast]": the section header of a group.
    static QString header(Group g);
    // Menu bar caption of a group ("&Composite" ...).
    static QString menuCaption(Group g);
    // Caption of an unfilled slot 0 ("Composite", "0" for NHC ...).
    static QString placeholder(Group g);
    // True when the group's items show a loop (the others show one image).
    static bool isLoopGroup(Group g);

private:
    void readLine(const QString& line, StatusLine* status);
    void reset();

    std::array<Slots, GroupCount> m_groups;
    Group m_current = Composite;
    int m_counter = 0;
    std::optional<RuntimeError> m_error;
};
