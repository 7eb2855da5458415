#pragma once

#include "core/input_file_table.h"

#include <exception>
#include <functional>
#include <string>
#include <vector>

namespace reelbond {

// The files an add takes: names in the file list's order, and the directory they are in.
struct FileSelection {
    std::string directory;
    std::vector<std::string> names;
};

struct AddOutcome {
    int added = 0;
    bool stoppedAtIneligibleFile = false;
    // An IoError or failed allocation that ended the operation, for the caller to raise
    // once it has shown the files added before it.
    std::exception_ptr failure;
};

// Probes the files named by their full paths in order and appends a row for each, stopping
// at the first ineligible file. stillWorking is called after each file and goes to each
// probe, so a window can keep answering the system during a long add.
AddOutcome AddPaths(InputFileTable& table, const std::vector<std::string>& paths,
                    const std::function<void()>& stillWorking = {});
// The selected files' full paths, in the selection's order.
std::vector<std::string> FullPaths(const FileSelection& selection);

// The paths ordered by their file names as Explorer orders them: letters without regard to
// case, digits by the value of their run (clip2 before clip10).
std::vector<std::string> InExplorerOrder(std::vector<std::string> paths);

} // namespace reelbond
