#include "core/add_operation.h"

#include "core/io_error.h"
#include "core/path.h"
#include "core/text.h"

#include <algorithm>
#include <new>
#include <shlwapi.h>

namespace reelbond {

AddOutcome AddPaths(InputFileTable& table, const std::vector<std::string>& paths,
                    const std::function<void()>& stillWorking) {
    AddOutcome outcome;
    try {
        for (const std::string& path : paths) {
            const auto info = SequenceHeaderProbe(path, stillWorking);
            if (!info) {
                outcome.stoppedAtIneligibleFile = true;
                break;
            }
            table.AppendEmptyRow();
            table.FillLastRow(path, *info);
            ++outcome.added;
            if (stillWorking)
                stillWorking();
        }
    } catch (const IoError&) {
        outcome.failure = std::current_exception();
    } catch (const std::bad_alloc&) {
        outcome.failure = std::current_exception();
    }
    return outcome;
}

// The file recorded is the file probed: a bare name would be resolved against a current
// directory that may have moved since the selection was made.
std::vector<std::string> FullPaths(const FileSelection& selection) {
    std::vector<std::string> paths;
    for (const std::string& name : selection.names)
        paths.push_back(JoinPath(selection.directory, name));
    return paths;
}

// StrCmpLogicalW is Explorer's own comparison of names; equal names in different folders go
// by their folders.
std::vector<std::string> InExplorerOrder(std::vector<std::string> paths) {
    struct Named {
        std::wstring name;
        std::wstring path;
        std::string original;
    };
    std::vector<Named> named;
    for (std::string& path : paths) {
        const std::size_t slash = path.find_last_of("\\/");
        const std::size_t start = slash == std::string::npos ? 0 : slash + 1;
        named.push_back(
            {Widened(std::string_view(path).substr(start)), Widened(path), std::move(path)});
    }
    std::sort(named.begin(), named.end(), [](const Named& a, const Named& b) {
        const int byName = StrCmpLogicalW(a.name.c_str(), b.name.c_str());
        return byName ? byName < 0 : StrCmpLogicalW(a.path.c_str(), b.path.c_str()) < 0;
    });
    std::vector<std::string> ordered;
    for (Named& entry : named)
        ordered.push_back(std::move(entry.original));
    return ordered;
}

} // namespace reelbond
