#pragma once

#include "observations/StationLookup.h"
#include "observations/ZoneListing.h"
#include "observations/ZoneSegmentSearch.h"

#include <QObject>
#include <QPointer>
#include <memory>

class DisplayState;
class IPrompter;
class QWidget;
class ReferenceTables;
class Settings;
class frmMetar;
class frmUGC;
class frmZoneCode;

// The observation and zone dialogs of the main window, each a single
// modeless instance: METAR ID's (station look-up), UGC Code (zone codes of a
// state) and Zone Search on the product on show.
class ObservationWindows : public QObject
{
    Q_OBJECT
public:
    ObservationWindows(QString programDir, const ReferenceTables& tables, const Settings& settings,
                       DisplayState& display, IPrompter& prompter, QWidget& parent);
    ~ObservationWindows() override;

    void showMetarIds();
    void showZoneCodes();
    // Edit > Zone Search: opens the search for the product on show when it
    // carries zone headers, or says that it does not.
    void mnuZoneSearch_Click();
    void closeAll();

private:
    StationLookup m_stations;
    ZoneListing m_zones;
    ZoneSegmentSearch m_segments;
    IPrompter& m_prompter;
    QWidget& m_parent;
    QPointer<frmMetar> m_metar;
    QPointer<frmZoneCode> m_zoneCodes;
    QPointer<frmUGC> m_ugc;
};
