#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The AWIPS identifier line of a product, "NNNxxx": a 3-character product
// category ("AFD") and a location of 1 to 3 characters, mostly the issuing
// office ("GRR").
class AwipsId
{
public:
    // Reads one line (blanks around it allowed); letters and digits only.
    static std::optional<AwipsId> parse(QStringView line);

    const QString& category() const { return m_category; }
    const QString& location() const { return m_location; }
    QString text() const { return m_category + m_location; }

private:
    QString m_category;
    QString m_location;
};
