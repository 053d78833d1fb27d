#include "observations/ui/frmZoneCode.h"

#include "observations/ZoneListing.h"

#include <QEvent>
#include <QFont>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QFont courier()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    if (!font.exactMatch())
        font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    return font;
}
} // namespace

frmZoneCode::frmZoneCode(const ZoneListing& listing, QWidget* parent)
    : QDialog(parent), m_listing(listing)
{
    setObjectName(QStringLiteral("frmZoneCode"));
    setWindowTitle(QStringLiteral("Zone Code Search"));
    setMinimumWidth(MinimumWidth);
    resize(420, 480);

    auto* Label1 = new QLabel(QStringLiteral("Enter State Code:"));
    Text1 = new QLineEdit;
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setToolTip(QStringLiteral("Two-letter State ID"));
    Text1->setFont(courier());
    Text1->setMaxLength(2);
    Text1->setFixedWidth(Text1->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 12);
    Text1->installEventFilter(this);
    Command1 = new QPushButton(QStringLiteral("Facility List"));
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setAutoDefault(false);
    txtState = new QPlainTextEdit;
    txtState->setObjectName(QStringLiteral("txtState"));
    txtState->setReadOnly(true);
    txtState->setFont(courier());
    txtState->setLineWrapMode(QPlainTextEdit::NoWrap);

    auto* top = new QHBoxLayout;
    top->addWidget(Label1);
    top->addWidget(Text1);
    top->addStretch();
    top->addWidget(Command1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(txtState, 1);

    connect(Command1, &QPushButton::clicked, this, &frmZoneCode::Command1_Click);
}

bool frmZoneCode::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Text1 && event->type() == QEvent::KeyRelease)
        Text1_KeyUp();
    return QDialog::eventFilter(watched, event);
}

void frmZoneCode::Text1_KeyUp()
{
    if (Text1->text().size() != 2)
        return;
    const QString state = Text1->text().toUpper();
    Text1->setText(state);
    txtState->setPlainText(ZoneListing::StandbyText);
    txtState->setPlainText(m_listing.zonesOf(state));
    Text1->clear();
}

void frmZoneCode::Command1_Click()
{
    txtState->setPlainText(m_listing.facilityList());
}
