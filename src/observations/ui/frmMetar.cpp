#include "observations/ui/frmMetar.h"

#include "observations/StationLookup.h"

#include <QFontDatabase>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

frmMetar::frmMetar(const StationLookup& lookup, QWidget* parent) : QDialog(parent), m_lookup(lookup)
{
    setObjectName(QStringLiteral("frmMetar"));
    setWindowTitle(QStringLiteral("METAR Search"));
    txtMETAR = new QLineEdit;
    txtMETAR->setObjectName(QStringLiteral("txtMETAR"));
    txtMETAR->setToolTip(QStringLiteral("METAR ID"));
    cmdSearch = new QPushButton(QStringLiteral("Search"));
    cmdSearch->setObjectName(QStringLiteral("cmdSearch"));
    cmdSearch->setAutoDefault(false);
    Text1 = new QLineEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Search Result"));
    Text1->setReadOnly(true);
    Text1->setMinimumWidth(420);
    Text1->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto* layout = new QGridLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Station ID:")), 0, 0);
    layout->addWidget(txtMETAR, 0, 1);
    layout->addWidget(cmdSearch, 0, 2);
    layout->addWidget(Text1, 1, 0, 1, 3);
    layout->setColumnStretch(1, 1);

    // Enter in the entry runs the search and goes no further.
    connect(txtMETAR, &QLineEdit::returnPressed, this, &frmMetar::cmdSearch_Click);
    connect(cmdSearch, &QPushButton::clicked, this, &frmMetar::cmdSearch_Click);
}

void frmMetar::cmdSearch_Click()
{
    const QString entered = txtMETAR->text().toUpper();
    txtMETAR->clear();
    Text1->clear();
    Text1->setText(m_lookup.search(entered));
    txtMETAR->setFocus();
}
