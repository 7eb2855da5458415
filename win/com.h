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

// A COM object of ours, made with one reference, which its maker owns, and deleted with the
// last. It has one interface besides IUnknown, unless InterfaceFor names more.
template <typename Interface> class ComObject : public Interface {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object)
            return E_POINTER;
        *object = InterfaceFor(id);
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = InterlockedDecrement(&references_);
        if (!left)
            delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    // The object as the interface that id names; null for one it does not have.
    virtual void* InterfaceFor(REFIID id) {
        return id == IID_IUnknown || id == __uuidof(Interface) ? static_cast<Interface*>(this)
                                                               : nullptr;
    }

private:
    LONG references_ = 1;
};

} // namespace reelbond
