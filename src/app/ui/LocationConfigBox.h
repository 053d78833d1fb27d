#pragma once

#include <QGroupBox>

class ConfigModel;
class QLineEdit;

// The configuration dialog's "Location" box: the user's latitude and
// longitude, each checked when its field is left.
class LocationConfigBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit LocationConfigBox(ConfigModel& model, QWidget* parent = nullptr);

    QString latitude() const;
    QString longitude() const;
    void setLocation(const QString& latitude, const QString& longitude);

private:
    void validate(QLineEdit* field, bool latitude);

    ConfigModel& m_model;
    QLineEdit* txtLatitude = nullptr;
    QLineEdit* txtLongitude = nullptr;
};
