#include "win/file_drop_target.h"

#include "core/io_error.h"
#include "core/text.h"

#include <shellapi.h>

namespace reelbond {
namespace {

FORMATETC FileNamesFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool CarriesFiles(IDataObject& data) {
    FORMATETC format = FileNamesFormat();
    return data.QueryGetData(&format) == S_OK;
}

std::vector<std::string> DroppedPaths(IDataObject& data) {
    FORMATETC format = FileNamesFormat();
    STGMEDIUM medium{};
    if (FAILED(data.GetData(&format, &medium)))
        return {};
    const ScopeExit release([&medium] { ReleaseStgMedium(&medium); });
    const auto drop = static_cast<HDROP>(medium.hGlobal);
    std::vector<std::string> paths;
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT index = 0; index < count; ++index) {
        // Asked for its length first: a path may be longer than MAX_PATH.
        std::wstring path(DragQueryFileW(drop, index, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(drop, index, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Narrowed(path));
    }
    return paths;
}

} // namespace

// The object the system calls during a drag. The dragging program may hold it after the
// window has gone: detached from its owner, it refuses everything.
class DropTargetObject final : public ComObject<IDropTarget> {
public:
    explicit DropTargetObject(FileDropTarget& owner) : owner_(&owner) {}
    void Detach() noexcept { owner_ = nullptr; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        return Answered([&] {
            carriesFiles_ = data && CarriesFiles(*data);
            return Answer(effect);
        });
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        return Answered([&] { return Answer(effect); });
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        carriesFiles_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        return Answered([&] {
            carriesFiles_ = data && CarriesFiles(*data);
            const HRESULT answer = Answer(effect);
            carriesFiles_ = false;
            if (answer == S_OK && *effect == DROPEFFECT_COPY && owner_->OnDrop)
                owner_->OnDrop(DroppedPaths(*data));
            return answer;
        });
    }

private:
    ~DropTargetObject() override = default;

    // A copy, never a move: the dragging program would delete the files it moved.
    HRESULT Answer(DWORD* effect) const {
        if (!effect)
            return E_INVALIDARG;
        const bool taken = owner_ && carriesFiles_ && (*effect & DROPEFFECT_COPY) &&
                           owner_->Accepting && owner_->Accepting();
        *effect = taken ? DROPEFFECT_COPY : DROPEFFECT_NONE;
        return S_OK;
    }

    FileDropTarget* owner_;
    bool carriesFiles_ = false;
};

FileDropTarget::FileDropTarget() : object_(new DropTargetObject(*this)) {}

FileDropTarget::~FileDropTarget() {
    Revoke();
    object_.get()->Detach();
}

void FileDropTarget::Register(HWND window) {
    Revoke();
    if (const HRESULT result = RegisterDragDrop(window, object_.get()); FAILED(result))
        throw IoError(HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : result);
    registration_.reset(window);
}

void FileDropTarget::Revoke() noexcept {
    registration_.reset();
}

} // namespace reelbond
