// Drags files from outside the program, as Explorer does, through the system's drag and drop:
//   drag ROUNDS PATH...   drags the paths as CF_HDROP from wherever the mouse is, follows the
//                         mouse (move it with xdotool meanwhile) and drops after ROUNDS checks
//                         of the drag (about 50 ms each)
// It prints what the window under the mouse answers whenever that changes, and the outcome.
#include "support/file_drag_data.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* EffectName(DWORD effect) {
    return effect == DROPEFFECT_NONE ? "none" : effect == DROPEFFECT_COPY ? "copy" : "other";
}

class DropSource final : public IDropSource {
public:
    explicit DropSource(int rounds) : roundsLeft_(rounds) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        *object = id == IID_IUnknown || id == IID_IDropSource ? this : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    // Lives on the stack for the whole drag.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD) override {
        if (escape)
            return DRAGDROP_S_CANCEL;
        return --roundsLeft_ > 0 ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD effect) override {
        POINT mouse;
        GetCursorPos(&mouse);
        char className[64] = "";
        GetClassNameA(GetAncestor(WindowFromPoint(mouse), GA_ROOT), className, sizeof className);
        const std::string seen = std::string(className) + " answers " + EffectName(effect);
        if (seen != lastSeen_) {
            std::printf("at %ld,%ld over %s\n", mouse.x, mouse.y, seen.c_str());
            std::fflush(stdout);
            lastSeen_ = seen;
        }
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

private:
    int roundsLeft_;
    std::string lastSeen_;
};

} // namespace

int main(int argc, char** argv) {
    if (argc < 3 || FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "usage: drag ROUNDS PATH...\n");
        return 2;
    }
    const std::vector<std::string> paths(argv + 2, argv + argc);
    const auto data = reelbond::test::FileDragData(paths);
    DropSource source(std::atoi(argv[1]));
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result =
        DoDragDrop(data.get(), &source, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
    std::printf("%s, effect %s\n", result == DRAGDROP_S_DROP ? "dropped" : "cancelled",
                EffectName(effect));
    OleUninitialize();
    return result == DRAGDROP_S_DROP ? 0 : 1;
}
