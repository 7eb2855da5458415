// Times the file list and the add operation on a directory of many small MPEG files:
//   bench_browse.exe DIRECTORY OTHER_DIRECTORY ADD_COUNT [RUNS]
// list: from writing the list's directory until it has repainted, against the bare
// FindFirstFileW/FindNextFileW loops over the list's two patterns in that directory;
// add: the add operation on the first ADD_COUNT entries. Best of RUNS each.
#include "bench/clock.h"
#include "core/add_operation.h"
#include "core/file.h"
#include "core/input_file_table.h"
#include "core/text.h"
#include "ui_tests/host_window.h"
#include "win/file_list_box.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <windows.h>

namespace {

using reelbond::bench::Now;

using reelbond::TFileListBox;

double BestSeconds(int runs, const std::function<void()>& before,
                   const std::function<void()>& work) {
    double best = 1e30;
    for (int run = 0; run < runs; ++run) {
        before();
        const double start = Now();
        work();
        best = std::min(best, Now() - start);
    }
    return best;
}

int SearchAll(const std::string& directory) {
    int found = 0;
    for (const char* pattern : {"\\*.mpg", "\\*.mpeg"}) {
        WIN32_FIND_DATAW data;
        const reelbond::UniqueSearch search(
            FindFirstFileW(reelbond::Widened(directory + pattern).c_str(), &data));
        if (!search)
            continue;
        do
            ++found;
        while (FindNextFileW(search.get(), &data));
    }
    return found;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: bench_browse DIRECTORY OTHER_DIRECTORY ADD_COUNT [RUNS]\n");
        return 2;
    }
    const std::string directory = argv[1];
    const std::string other = argv[2];
    const int addCount = std::atoi(argv[3]);
    const int runs = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;

    // Window classes are registered once at start-up, as the program does.
    reelbond::test::HostWindow::Register();
    reelbond::Owned<reelbond::test::HostWindow> host;
    TFileListBox list;
    list.SetMultiSelect(true);
    list.SetMask("*.mpg;*.mpeg");
    list.Create(host.Hwnd(), 1, RECT{10, 10, 210, 310}, "");
    list.SetItemHeight(16);
    UpdateWindow(host.Hwnd());

    const double search = BestSeconds(
        runs, [] {}, [&] { SearchAll(directory); });
    const double listing = BestSeconds(
        runs, [&] { list.SetDirectory(other); },
        [&] {
            list.SetDirectory(directory);
            UpdateWindow(list.Hwnd());
        });
    std::printf("entries=%d\n", list.EntryCount());

    SendMessageA(list.Hwnd(), LB_SELITEMRANGE, TRUE, MAKELPARAM(0, addCount - 1));
    reelbond::InputFileTable table;
    const double add = BestSeconds(
        runs, [&] { table.ResetGrid(); },
        [&] {
            AddPaths(table, reelbond::FullPaths({list.Directory(), list.SelectedNames()}));
        });
    if (table.FileCount() != addCount) {
        std::fprintf(stderr, "added %d of %d files\n", table.FileCount(), addCount);
        return 1;
    }
    std::printf("search_ms=%.1f\nlist_ms=%.1f\nlist_vs_search=%.2f\n", search * 1e3, listing * 1e3,
                listing / search);
    std::printf("add_ms=%.1f\nadd_ms_per_file=%.3f\n", add * 1e3, add * 1e3 / addCount);
    return 0;
}
