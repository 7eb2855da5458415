#pragma once

#include <string>
#include <windows.h>

namespace reelbond {

// The messages by which a list box or a combo box keeps its entries.
struct EntryMessages {
    UINT add, setData, textLength, text;
};
inline constexpr EntryMessages ListBoxEntries{LB_ADDSTRING, LB_SETITEMDATA, LB_GETTEXTLEN,
                                              LB_GETTEXT};
inline constexpr EntryMessages ComboBoxEntries{CB_ADDSTRING, CB_SETITEMDATA, CB_GETLBTEXTLEN,
                                               CB_GETLBTEXT};

// Sends a message straight to a control's class procedure, past the subclass chain: under
// Wine each message through the chain costs two requests to the server, which made a list
// of thousands of entries take most of a second to fill, and an Add of thousands of files
// read their names as slowly.
LRESULT SendToClassProcedure(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Adds an entry with its item data and returns its index; a control without room for it
// raises std::bad_alloc.
int AddEntry(HWND control, const EntryMessages& messages, const std::string& text, LPARAM data = 0);
// The text of an entry; empty for no entry.
std::string EntryText(HWND control, const EntryMessages& messages, int index);

} // namespace reelbond
