#include "app/ui/EditCommands.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {
template <typename Edit> void run(Edit* edit, int command)
{
    switch (command) {
    case 0:
        edit->undo();
        break;
    case 1:
        edit->cut();
        break;
    case 2:
        edit->copy();
        break;
    case 3:
        edit->paste();
        break;
    default:
        break;
    }
}
} // namespace

bool EditCommands::apply(QWidget* focus, int command)
{
    if (auto* combo = qobject_cast<QComboBox*>(focus))
        focus = combo->lineEdit();
    if (auto* line = qobject_cast<QLineEdit*>(focus)) {
        if (command == 4)
            line->del();
        else
            run(line, command);
        return true;
    }
    if (auto* plain = qobject_cast<QPlainTextEdit*>(focus)) {
        if (command == 4)
            plain->textCursor().removeSelectedText();
        else
            run(plain, command);
        return true;
    }
    if (auto* rich = qobject_cast<QTextEdit*>(focus)) {
        if (command == 4)
            rich->textCursor().removeSelectedText();
        else
            run(rich, command);
        return true;
    }
    return false;
}
