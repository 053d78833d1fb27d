#pragma once

class QWidget;

// The Edit menu's clipboard commands, for whichever text control has the
// focus: 0 undo, 1 cut, 2 copy, 3 paste, 4 delete the selection.
class EditCommands
{
public:
    // False when the focus is on no text control (nothing is done then).
    static bool apply(QWidget* focus, int command);
};
