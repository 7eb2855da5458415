#include "support/file_drag_data.h"

#include "core/text.h"

#include <cstring>
#include <shlobj.h>
#include <stdexcept>

namespace reelbond::test {
namespace {

class FileDragDataObject final : public ComObject<IDataObject> {
public:
    explicit FileDragDataObject(const std::vector<std::string>& paths) {
        for (const std::string& path : paths) {
            names_ += Widened(path);
            names_ += L'\0';
        }
        names_ += L'\0';
    }

    // DROPFILES, then each path and a terminating zero, then one more zero.
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (!medium || QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        const SIZE_T namesSize = names_.size() * sizeof(wchar_t);
        const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, sizeof(DROPFILES) + namesSize);
        if (!memory)
            return E_OUTOFMEMORY;
        auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
        *header = DROPFILES{sizeof(DROPFILES), {0, 0}, FALSE, TRUE};
        std::memcpy(header + 1, names_.data(), namesSize);
        GlobalUnlock(memory);
        *medium = STGMEDIUM{};
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        const bool files = format && format->cfFormat == CF_HDROP &&
                           format->dwAspect == DVASPECT_CONTENT && (format->tymed & TYMED_HGLOBAL);
        return files ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out)
            out->ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET)
            return E_NOTIMPL;
        FORMATETC format{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    ~FileDragDataObject() override = default;

    std::wstring names_;
};

} // namespace

UniqueDataObject FileDragData(const std::vector<std::string>& paths) {
    return UniqueDataObject(new FileDragDataObject(paths));
}

DropEffects DragAndDrop(HWND window, const std::vector<std::string>& paths) {
    // Where RegisterDragDrop keeps the window's target, and where the system's drag and drop
    // finds it for a drag from the same process, on Windows as in Wine.
    auto* target = static_cast<IDropTarget*>(GetPropW(window, L"OleDropTargetInterface"));
    if (!target)
        throw std::runtime_error("the window has no drop target registered");
    constexpr DWORD ExplorerAllows = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    const UniqueDataObject data = FileDragData(paths);
    DropEffects effects{ExplorerAllows, ExplorerAllows};
    target->DragEnter(data.get(), MK_LBUTTON, {}, &effects.entered);
    target->Drop(data.get(), 0, {}, &effects.dropped);
    return effects;
}

} // namespace reelbond::test
