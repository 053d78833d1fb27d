#pragma once

#include <QString>
#include <QWidget>

class QButtonGroup;
class QGroupBox;

// The serial settings of a pager call as option buttons: speed (300, 1200,
// 2400, 9600), parity (E, N), data bits (7, 8) and stop bits (1, 2). Each
// value is the caption of the option chosen; empty when none is.
class SerialOptions : public QWidget
{
    Q_OBJECT
public:
    struct Values
    {
        QString speed;
        QString parity;
        QString dataBits;
        QString stopBits;
    };

    explicit SerialOptions(QWidget* parent = nullptr);

    Values values() const;
    // Chooses the options whose captions equal the values; a value that no
    // option has leaves that choice empty.
    void setValues(const Values& values);

private:
    QGroupBox* addGroup(const QString& title, const QString& name, const QStringList& captions,
                        QButtonGroup** group);
    static QString chosen(const QButtonGroup* group);
    static void choose(QButtonGroup* group, const QString& caption);

    QButtonGroup* optBaud = nullptr;
    QButtonGroup* optParity = nullptr;
    QButtonGroup* optData = nullptr;
    QButtonGroup* optStop = nullptr;
};
