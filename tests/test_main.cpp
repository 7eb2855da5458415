#include <gtest/gtest.h>

#include <cstdio>
#include <windows.h>

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
    return RUN_ALL_TESTS();
}
