#include "app/ui/LocationConfigBox.h"

#include "app/ConfigModel.h"
#include "core/GeoLocation.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>

LocationConfigBox::LocationConfigBox(ConfigModel& model, QWidget* parent)
    : QGroupBox(QStringLiteral("Location"), parent), m_model(model)
{
    auto* grid = new QGridLayout(this);
    txtLatitude = new QLineEdit;
    txtLatitude->setObjectName(QStringLiteral("txtLatitude"));
    txtLatitude->setToolTip(QStringLiteral("Latitude in decimal degrees, north positive (41.59)"));
    txtLongitude = new QLineEdit;
    txtLongitude->setObjectName(QStringLiteral("txtLongitude"));
    txtLongitude->setToolTip(
        QStringLiteral("Longitude in decimal degrees, west negative (-93.62)"));
    grid->addWidget(new QLabel(QStringLiteral("Latitude")), 0, 0);
    grid->addWidget(txtLatitude, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("Longitude")), 0, 2);
    grid->addWidget(txtLongitude, 0, 3);
    auto* note = new QLabel(QStringLiteral("Used by the Warning Map and by alarms with zone POINT; "
                                           "also set by Ctrl+click on the map."));
    note->setWordWrap(true);
    grid->addWidget(note, 1, 0, 1, 4);
    connect(txtLatitude, &QLineEdit::editingFinished, this,
            [this] { validate(txtLatitude, true); });
    connect(txtLongitude, &QLineEdit::editingFinished, this,
            [this] { validate(txtLongitude, false); });
}

QString LocationConfigBox::latitude() const
{
    return txtLatitude->text();
}

QString LocationConfigBox::longitude() const
{
    return txtLongitude->text();
}

void LocationConfigBox::setLocation(const QString& latitude, const QString& longitude)
{
    txtLatitude->setText(latitude);
    txtLongitude->setText(longitude);
}

void LocationConfigBox::validate(QLineEdit* field, bool latitude)
{
    const QString text = field->text();
    const QString problem =
        latitude ? GeoLocation::latitudeProblem(text) : GeoLocation::longitudeProblem(text);
    if (problem.isEmpty())
        return;
    // Told once: the message box takes the focus and would finish the edit again.
    const QSignalBlocker blocker(field);
    field->setText(latitude ? m_model.validateLatitude(text) : m_model.validateLongitude(text));
}
