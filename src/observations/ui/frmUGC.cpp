#include "observations/ui/frmUGC.h"

#include "observations/ZoneSegmentSearch.h"
#include "platform/ErrorReport.h"
#include "platform/Prompter.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

frmUGC::frmUGC(ZoneSegmentSearch& search, IPrompter& prompter, QWidget* parent)
    : QDialog(parent), m_search(search), m_prompter(prompter)
{
    setObjectName(QStringLiteral("frmUGC"));
    setWindowTitle(QStringLiteral("Zone Search"));
    lstState = new QComboBox;
    lstState->setObjectName(QStringLiteral("lstState"));
    lstState->setToolTip(QStringLiteral("State"));
    lstCounty = new QComboBox;
    lstCounty->setObjectName(QStringLiteral("lstCounty"));
    lstCounty->setToolTip(QStringLiteral("Zone Name"));
    lstCounty->setMinimumContentsLength(24);
    lstCounty->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cmdSearch = new QPushButton(QStringLiteral("Search"));
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdSearch->setDefault(true);

    auto* layout = new QHBoxLayout(this);
    layout->addWidget(lstState);
    layout->addWidget(lstCounty, 1);
    layout->addWidget(cmdSearch);

    Form_Load();
    connect(lstState, &QComboBox::currentIndexChanged, this, &frmUGC::lstState_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmUGC::cmdSearch_Click);
}

void frmUGC::Form_Load()
{
    lstState->clear();
    lstState->addItems(ZoneSegmentSearch::stateCodes());
    lstState->setCurrentIndex(-1);
    const int preselected = lstState->findText(m_search.preselectedState());
    if (!m_search.preselectedState().isEmpty() && preselected >= 0) {
        lstState->setCurrentIndex(preselected);
        lstState_Click();
    }
}

void frmUGC::lstState_Click()
{
    lstCounty->clear();
    for (const ZoneSegmentSearch::Zone& zone : m_search.zonesOf(lstState->currentText()))
        lstCounty->addItem(zone.name, zone.number);
    lstCounty->setCurrentIndex(-1);
}

void frmUGC::cmdSearch_Click()
{
    if (lstCounty->currentIndex() < 0) {
        m_prompter.message(ZoneSegmentSearch::NoSelectionText, ZoneSegmentSearch::Title,
                           IPrompter::Icon::Critical);
        return;
    }
    try {
        if (m_search.search(lstState->currentText(), lstCounty->currentData().toInt()) ==
            ZoneSegmentSearch::Result::Found) {
            accept();
            return;
        }
        m_prompter.message(ZoneSegmentSearch::NotFoundText, ZoneSegmentSearch::Title,
                           IPrompter::Icon::Critical);
    } catch (const RuntimeError& error) {
        m_prompter.message(ErrorReport::format(QStringLiteral("UGC: cmdSearch_Click"), error),
                           QString(), IPrompter::Icon::Exclamation);
    }
}
