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
            // The file recorded is the file probed: a bare name would be resolved against a
            // current directory that may have moved since the selection was made.
            const std::string path = JoinPath(selection.directory, name);
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

} // namespace reelbond
