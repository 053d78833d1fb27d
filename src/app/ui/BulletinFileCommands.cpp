#include "app/ui/BulletinFileCommands.h"

#include "app/MainState.h"
#include "display/BulletinPrinter.h"
#include "display/SaveFile.h"
#include "display/ui/QtTextPrinter.h"

#include <QFileDialog>

BulletinFileCommands::BulletinFileCommands(MainState& state, QWidget& window)
    : m_state(state), m_window(window)
{
}

BulletinFileCommands::~BulletinFileCommands() = default;

QtTextPrinter& BulletinFileCommands::printer()
{
    // One printer for the window and the alarms, so that Printer Setup applies to both.
    if (auto* shared = dynamic_cast<QtTextPrinter*>(m_state.services().printer))
        return *shared;
    if (!m_printer)
        m_printer = std::make_unique<QtTextPrinter>();
    return *m_printer;
}

void BulletinFileCommands::print(const QString& shown)
{
    BulletinPrinter(printer(), *m_state.services().prompter)
        .printShown(shown, m_state.tables.printerFontSize());
}

void BulletinFileCommands::printSetup()
{
    printer().setup(&m_window);
}

void BulletinFileCommands::save()
{
    SaveFile save(m_state.display, m_state.settings, *m_state.services().store,
                  *m_state.services().prompter);
    if (!save.canSave())
        return;
    QFileDialog dialog(&m_window, SaveFile::DialogTitle, save.initialPath(), SaveFile::Filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    save.saveReporting(dialog.selectedFiles().first());
}
