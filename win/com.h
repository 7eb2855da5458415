#pragma once

#include "core/unique.h"

#include <new>
#include <windows.h>

// After windows.h, which it needs.
#include <unknwn.h>

namespace reelbond {

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};

// Other programs and the system call a COM object of ours: a failure is the call's result,
// never a box on the screen.
template <typename Call> HRESULT Answered(Call&& call) noexcept {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_FAIL;
    }
}

} // namespace reelbond
