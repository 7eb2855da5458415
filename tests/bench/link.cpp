// Joins the files named after the output with LinkOperation and prints how long the link
// took and the process's peak memory: link.exe OUTPUT INPUT... or link.exe OUTPUT @LIST,
// where LIST holds one input path a line (thousands of paths do not fit a command line).
#include "core/link_operation.h"
#include "core/path.h"
#include "win/busy.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <utility>
#include <vector>
#include <windows.h>

#include <objbase.h>
#include <psapi.h>

namespace {

// The main window's part, without boxes to wait for; it answers the system between the
// pieces as the main window does.
class SilentWindow : public reelbond::LinkWindow {
public:
    explicit SilentWindow(std::string output) : output_(std::move(output)) {}
    void DefaultBeep() override {}
    void InformationBox(const std::string& message) override { last_ = message; }
    void ErrorBox(const std::string& message) override { last_ = message; }
    std::string OutputName() const override { return output_; }
    void FocusOutputName() override {}
    // The output is named on the command line, from the directory the benchmark runs in.
    std::string ShownDirectory() const override { return reelbond::CurrentDirectory(); }
    void SetLinkEnabled(bool) override {}
    void SetRemoveEnabled(bool) override {}
    void SetClearEnabled(bool) override {}
    void ShowProgress(int) override {}
    void ShowCountText(const std::string&) override {}
    void StillWorking() override { operation_.Pulse(); }
    const std::string& LastMessage() const { return last_; }

private:
    std::string output_;
    std::string last_;
    reelbond::LongOperation operation_{L"Joining files"};
};

struct ComReleaser {
    void operator()(IUnknown* object) const noexcept { object->Release(); }
};
using UniqueUnknown = reelbond::Unique<IUnknown*, ComReleaser>;

// The program's thread is a COM apartment, whose window the pulse looks at. Windows makes
// the window with the apartment, Wine once an object of it is marshalled, as a screen
// reader's first call does.
bool EnterApartmentWithWindow() {
    IBindCtx* context = nullptr;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) ||
        FAILED(CreateBindCtx(0, &context)))
        return false;
    const UniqueUnknown ownedContext(context);
    IStream* marshalled = nullptr;
    if (FAILED(CoMarshalInterThreadInterfaceInStream(IID_IBindCtx, context, &marshalled)))
        return false;
    const UniqueUnknown ownedStream(marshalled);
    return true;
}

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

double MiB(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

std::vector<std::string> InputPaths(int argc, char** argv) {
    if (argv[2][0] != '@')
        return {argv + 2, argv + argc};
    std::vector<std::string> paths;
    std::ifstream list(argv[2] + 1);
    for (std::string line; std::getline(list, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (!line.empty())
            paths.push_back(line);
    }
    return paths;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: link OUTPUT INPUT INPUT... | link OUTPUT @LIST\n");
        return 2;
    }
    reelbond::InputFileTable table;
    for (const std::string& path : InputPaths(argc, argv)) {
        table.AppendEmptyRow();
        table.FillLastRow(path, {352, 288, 3});
    }
    if (!EnterApartmentWithWindow()) {
        std::fprintf(stderr, "no COM apartment\n");
        return 1;
    }
    SilentWindow window(argv[1]);

    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    reelbond::LinkOperation(table, window);
    QueryPerformanceCounter(&end);
    if (window.LastMessage() != "The files link has been done!") {
        std::fprintf(stderr, "link failed: %s\n", window.LastMessage().c_str());
        return 1;
    }

    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), &memory, sizeof memory);
    std::printf("link_seconds=%.3f\n", Seconds(start, end));
    std::printf("peak_working_set_mib=%.1f\n", MiB(memory.PeakWorkingSetSize));
    std::printf("peak_pagefile_mib=%.1f\n", MiB(memory.PeakPagefileUsage));
    return 0;
}
