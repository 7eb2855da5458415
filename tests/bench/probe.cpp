// Times SequenceHeaderProbe on one file, several times, and prints the best run:
// bench_probe.exe FILE [RUNS]. Process start-up is left out of the figure.
#include "bench/clock.h"
#include "core/io_error.h"
#include "core/sequence_header_probe.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <windows.h>

namespace {

using reelbond::bench::Now;

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_probe FILE [RUNS]\n");
        return 2;
    }
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    double best = 1e30;
    try {
        for (int run = 0; run < runs; ++run) {
            const double start = Now();
            const auto info = reelbond::SequenceHeaderProbe(argv[1]);
            const double seconds = Now() - start;
            best = std::min(best, seconds);
            std::printf("run %d: %.4f s, %s\n", run + 1, seconds, info ? "header" : "no header");
        }
    } catch (const reelbond::IoError& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    std::printf("probe_seconds=%.4f\n", best);
    return 0;
}
