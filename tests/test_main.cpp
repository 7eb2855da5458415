#include <gtest/gtest.h>

#include <cstdio>
#include <windows.h>

#ifdef REELBOND_WINDOW_TESTS
#include <ole2.h>

#include "ui/application.h"
#include "ui_tests/host_window.h"
#endif

namespace {

// Under Wine a crashing test process was seen to exit 0; end it with a failure instead.
LONG WINAPI FailOnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "FATAL: Unhandled exception 0x%08lx\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    TerminateProcess(GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

} // namespace

int main(int argc, char** argv) {
    SetUnhandledExceptionFilter(FailOnCrash);
    testing::InitGoogleTest(&argc, argv);
#ifdef REELBOND_WINDOW_TESTS
    // Once for the whole run, as start-up does; a failure ends the run with its message.
    if (FAILED(OleInitialize(nullptr))) {
        std::fprintf(stderr, "FATAL: OLE cannot be initialised\n");
        return 1;
    }
    try {
        reelbond::RegisterWindowClasses();
        reelbond::test::HostWindow::Register();
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "FATAL: %s\n", failure.what());
        return 1;
    }
#endif
    return RUN_ALL_TESTS();
}
