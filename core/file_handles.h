#pragma once

#include "core/unique.h"

#include <windows.h>

namespace reelbond {

struct FileHandleCloser {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
struct SearchCloser {
    static HANDLE Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    void operator()(HANDLE search) const noexcept { FindClose(search); }
};

// What CreateFile opens.
using UniqueFileHandle = Unique<HANDLE, FileHandleCloser>;
// What FindFirstFile starts.
using UniqueSearch = Unique<HANDLE, SearchCloser>;

} // namespace reelbond
