#include "observations/ui/ObservationWindows.h"

#include "core/ui/SingleWindow.h"
#include "observations/ui/frmMetar.h"
#include "observations/ui/frmUGC.h"
#include "observations/ui/frmZoneCode.h"
#include "platform/Prompter.h"

ObservationWindows::ObservationWindows(QString programDir, const ReferenceTables& tables,
                                       const Settings& settings, DisplayState& display,
                                       IPrompter& prompter, QWidget& parent)
    : QObject(&parent), m_stations(programDir), m_zones(tables, programDir),
      m_segments(tables, settings, display), m_prompter(prompter), m_parent(parent)
{
}

ObservationWindows::~ObservationWindows() = default;

void ObservationWindows::showMetarIds()
{
    SingleWindow::present(m_metar, m_metar ? nullptr : new frmMetar(m_stations, &m_parent));
}

void ObservationWindows::showZoneCodes()
{
    SingleWindow::present(m_zoneCodes, m_zoneCodes ? nullptr : new frmZoneCode(m_zones, &m_parent));
}

void ObservationWindows::mnuZoneSearch_Click()
{
    switch (m_segments.checkDisplayedProduct()) {
    case ZoneSegmentSearch::Check::NoZoneHeaders:
        m_prompter.message(ZoneSegmentSearch::NoZoneHeadersText, ZoneSegmentSearch::Title,
                           IPrompter::Icon::Information);
        return;
    case ZoneSegmentSearch::Check::Open:
        SingleWindow::present(m_ugc,
                              m_ugc ? nullptr : new frmUGC(m_segments, m_prompter, &m_parent));
        return;
    case ZoneSegmentSearch::Check::Nothing:
        return;
    }
}

void ObservationWindows::closeAll()
{
    for (QWidget* window : {static_cast<QWidget*>(m_metar), static_cast<QWidget*>(m_zoneCodes),
                            static_cast<QWidget*>(m_ugc)}) {
        if (window)
            window->close();
    }
}
