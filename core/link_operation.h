#pragma once

#include "core/input_file_table.h"

#include <cstddef>
#include <string>

namespace reelbond {

// Each input goes through one buffer of this size, whatever the file sizes. Measured on
// joins of 1.5 GB: smaller buffers cost more in calls, from 2 MiB on the copies no longer
// stay in the processor's cache and the join runs at half the speed.
inline constexpr std::size_t LinkCopyBufferSize = std::size_t{1} << 20;

// What the link operation uses of the main window. Every box returns when it is closed.
class LinkWindow {
public:
    virtual void DefaultBeep() = 0;
    // Caption the application title, no icon, one OK button.
    virtual void InformationBox(const std::string& message) = 0;
    // Caption "Error", the error icon, one OK button.
    virtual void ErrorBox(const std::string& message) = 0;
    // The output file's name as the user typed it, and the place where it is typed.
    virtual std::string OutputName() const = 0;
    virtual void FocusOutputName() = 0;
    // The directory the file browser shows, in which an output name without one is made.
    virtual std::string ShownDirectory() const = 0;
    virtual void SetLinkEnabled(bool enabled) = 0;
    virtual void SetRemoveEnabled(bool enabled) = 0;
    virtual void SetClearEnabled(bool enabled) = 0;
    // Shows how far the link is, 0 to 100, at once.
    virtual void ShowProgress(int position) = 0;
    // Shows the table's count text.
    virtual void ShowCountText(const std::string& text) = 0;
    // Called between the pieces of the copy, so the window can go on answering the
    // system while a long link runs; it must take no input.
    virtual void StillWorking() {}

protected:
    ~LinkWindow() = default;
};

// Checks the table and the output name, then copies the listed files in order into the
// output file and empties the table. A file operation that fails raises IoError and leaves
// the table as it was; a copy buffer that cannot be had raises std::bad_alloc.
void LinkOperation(InputFileTable& table, LinkWindow& window);

} // namespace reelbond
