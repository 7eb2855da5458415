#include "core/add_operation.h"

#include "core/io_error.h"
#include "core/path.h"

#include <new>

namespace reelbond {

AddOutcome AddFiles(InputFileTable& table, const FileSelection& selection,
                    const std::function<void()>& stillWorking) {
    AddOutcome outcome;
    try {
        for (const std::string& name : selection.names) {
            // A bare name: the file list keeps the current directory at its own.
            const auto info = SequenceHeaderProbe(name, stillWorking);
            if (!info) {
                outcome.stoppedAtIneligibleFile = true;
                break;
            }
            table.AppendEmptyRow();
            table.FillLastRow(JoinPath(selection.directory, name), *info);
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

} // namespace reelbond
