#pragma once

// The four product lists of the main window. The numbers are those of the
// list views (List1..List4) that show them.
enum class ListKind
{
    Filtered = 1, // the listing a request, a category or a quick button asked for
    Live = 2,     // products as they are received, newest first
    Local = 3,    // received products of the local offices
    Alarmed = 4,  // products that raised an alarm
};
