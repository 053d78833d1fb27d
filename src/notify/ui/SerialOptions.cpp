#include "notify/ui/SerialOptions.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QRadioButton>
#include <QVBoxLayout>

SerialOptions::SerialOptions(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(addGroup(QStringLiteral("Speed"), QStringLiteral("optBaud"),
                               {QStringLiteral("300"), QStringLiteral("1200"),
                                QStringLiteral("2400"), QStringLiteral("9600")},
                               &optBaud));
    layout->addWidget(addGroup(QStringLiteral("Parity"), QStringLiteral("optParity"),
                               {QStringLiteral("E"), QStringLiteral("N")}, &optParity));
    layout->addWidget(addGroup(QStringLiteral("Data Bits"), QStringLiteral("optData"),
                               {QStringLiteral("7"), QStringLiteral("8")}, &optData));
    layout->addWidget(addGroup(QStringLiteral("Stop Bits"), QStringLiteral("optStop"),
                               {QStringLiteral("1"), QStringLiteral("2")}, &optStop));
}

QGroupBox* SerialOptions::addGroup(const QString& title, const QString& name,
                                   const QStringList& captions, QButtonGroup** group)
{
    auto* box = new QGroupBox(title);
    auto* column = new QVBoxLayout(box);
    *group = new QButtonGroup(this);
    for (const QString& caption : captions) {
        auto* option = new QRadioButton(caption);
        option->setObjectName(name + caption);
        (*group)->addButton(option);
        column->addWidget(option);
    }
    column->addStretch();
    return box;
}

QString SerialOptions::chosen(const QButtonGroup* group)
{
    const QAbstractButton* option = group->checkedButton();
    return option ? option->text() : QString();
}

void SerialOptions::choose(QButtonGroup* group, const QString& caption)
{
    // Without exclusivity every option can be unchecked, then the match checked.
    group->setExclusive(false);
    for (QAbstractButton* option : group->buttons())
        option->setChecked(option->text() == caption);
    group->setExclusive(true);
}

SerialOptions::Values SerialOptions::values() const
{
    return {chosen(optBaud), chosen(optParity), chosen(optData), chosen(optStop)};
}

void SerialOptions::setValues(const Values& values)
{
    choose(optBaud, values.speed);
    choose(optParity, values.parity);
    choose(optData, values.dataBits);
    choose(optStop, values.stopBits);
}
