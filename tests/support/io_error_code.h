#pragma once

#include "core/io_error.h"

namespace reelbond::test {

// The code of the IoError that operation raises, 0 when it raises none.
template <typename Operation> int IoErrorCodeOf(const Operation& operation) {
    try {
        operation();
    } catch (const IoError& error) {
        return error.Code();
    }
    return 0;
}

} // namespace reelbond::test
