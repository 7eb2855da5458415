#include "link_operation_fixture.h"

#include "core/file.h"
#include "core/sequence_header_probe.h"
#include "core/text.h"

#include <cstdlib>
#include <stdexcept>
#include <windows.h>

namespace reelbond::test {
namespace {

const Events NotAFileName = {"beep", "info The output file name is not a valid file name."};

TEST_F(LinkOperationTest, FirstFileThatCannotBeReadLeavesTheOldOutputAndNoNewFile) {
    List({{"a.mpg", Bytes(LinkCopyBufferSize * 3, 'a')}, {"b.mpg", "b"}});
    window.onProgress = [&](int position) {
        if (position > 0)
            File::OpenExisting(dir / "a.mpg").Truncate(LinkCopyBufferSize * 3 / 2);
    };
    const std::string old = Bytes(28, 'o');
    WriteBytes(dir / "out.mpg", old);
    window.edit1 = dir / "out.mpg";
    EXPECT_EQ(Link(), 100);
    EXPECT_EQ(ReadBytes(dir / "out.mpg"), old);
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"a.mpg", "b.mpg", "out.mpg"}));

    DeleteFileA((dir / "out.mpg").c_str());
    WriteBytes(dir / "a.mpg", Bytes(LinkCopyBufferSize * 3, 'a'));
    EXPECT_EQ(Link(), 100);
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"a.mpg", "b.mpg"}));
    ExpectTableKept(2);
}

// The folder of the link that KilledLinkTest runs in a process of its own.
constexpr char KilledLinkFolder[] = "REELBOND_KILLED_LINK_FOLDER";

struct HandleCloser {
    void operator()(HANDLE handle) const noexcept { CloseHandle(handle); }
};
using UniqueHandle = Unique<HANDLE, HandleCloser>;

// The event by which that process tells that its link has stopped in the middle.
std::string StoppedEventName(const std::string& folder) {
    return "reelbond-link-stopped-" + folder.substr(folder.rfind('\\') + 1);
}

// In that process: links a.mpg and b.mpg of folder into out.mpg and stops for good once the
// first piece of a.mpg is staged.
void LinkAndStop(const std::string& folder) {
    InputFileTable table;
    for (const char* name : {"a.mpg", "b.mpg"}) {
        table.AppendEmptyRow();
        table.FillLastRow(folder + "\\" + name, Ntsc);
    }
    RecordingWindow window;
    window.edit1 = folder + "\\out.mpg";
    window.onProgress = [&](int) {
        const UniqueHandle stopped(
            OpenEventA(EVENT_MODIFY_STATE, FALSE, StoppedEventName(folder).c_str()));
        SetEvent(stopped.get());
        Sleep(INFINITE);
    };
    LinkOperation(table, window);
}

// Starts this test program again for the test running now, with KilledLinkFolder set.
UniqueHandle StartLinkProcess(const std::string& folder) {
    wchar_t program[MAX_PATH];
    GetModuleFileNameW(nullptr, program, MAX_PATH);
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::wstring commandLine = L"\"" + std::wstring(program) + L"\" --gtest_filter=" +
                               Widened(std::string(test->test_suite_name()) + "." + test->name());
    SetEnvironmentVariableA(KilledLinkFolder, folder.c_str());
    // No standard handles: its output stays out of this test's.
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    PROCESS_INFORMATION started{};
    const bool created = CreateProcessW(program, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                        nullptr, nullptr, &startup, &started);
    SetEnvironmentVariableA(KilledLinkFolder, nullptr);
    if (!created)
        throw std::runtime_error("cannot start " + Narrowed(program));
    const UniqueHandle thread(started.hThread);
    return UniqueHandle(started.hProcess);
}

TEST(KilledLinkTest, LeavesNoStagingFileAndTheOldOutput) {
    if (const char* folder = std::getenv(KilledLinkFolder)) {
        LinkAndStop(folder);
        return;
    }
    TempDir dir;
    WriteBytes(dir / "a.mpg", Bytes(LinkCopyBufferSize * 3, 'a'));
    WriteBytes(dir / "b.mpg", "b");
    WriteBytes(dir / "out.mpg", "old");
    const UniqueHandle stopped(
        CreateEventA(nullptr, TRUE, FALSE, StoppedEventName(dir.path()).c_str()));
    const UniqueHandle process = StartLinkProcess(dir.path());
    const auto kill = [&] {
        TerminateProcess(process.get(), 1);
        WaitForSingleObject(process.get(), 10000);
    };
    const ScopeExit killedAnyway(kill);
    const HANDLE awaited[] = {stopped.get(), process.get()};
    ASSERT_EQ(WaitForMultipleObjects(2, awaited, FALSE, 30000), WAIT_OBJECT_0)
        << "the link did not stop in the middle";
    const std::string staged = "~rb" + std::to_string(GetProcessId(process.get())) + "-1.tmp";
    EXPECT_EQ(FileNames(dir.path()),
              (std::vector<std::string>{"a.mpg", "b.mpg", "out.mpg", staged}));
    kill();
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"a.mpg", "b.mpg", "out.mpg"}));
    EXPECT_EQ(ReadBytes(dir / "out.mpg"), "old");
}

// Under Wine COM1 and AUX lead to /dev/ttyS0, on these machines the console: they are
// tried only where shell_made_files.sh has linked COM1 to an empty scratch file.
bool ConsolePortIsAScratchFile() {
    if (!std::getenv("REELBOND_SHELL_MADE_FILES"))
        return false;
    const UniqueFileHandle port(CreateFileA("\\\\.\\COM1", FILE_READ_ATTRIBUTES, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    return port && GetFileType(port.get()) == FILE_TYPE_DISK && GetFileSizeEx(port.get(), &size) &&
           size.QuadPart == 0;
}

TEST_F(LinkOperationTest, OutputNamesOfDevicesAndStreamsAreRefusedBeforeAnythingIsOpened) {
    List({{"a.mpg", "a"}, {"b.mpg", "b"}});
    std::vector<std::string> names = {"nul",
                                      "NUL.mpeg",
                                      "con",
                                      "prn",
                                      "lpt1.mpg",
                                      dir / "sub\\nul.mpg",
                                      "\\\\.\\pipe\\out.mpg",
                                      "a.mpg:s",
                                      "a.mpg::$DATA",
                                      "a.mpg:",
                                      dir / "b.mpg:s"};
    const bool portIsScratch = ConsolePortIsAScratchFile();
    if (portIsScratch)
        names.insert(names.end(), {"com1", "aux.mpg"});
    ExpectOutputsRefused(names, NotAFileName);
    ExpectTableKept(2);
    EXPECT_EQ(FileNames(dir.path()), (std::vector<std::string>{"a.mpg", "b.mpg"}));
    if (portIsScratch) {
        EXPECT_TRUE(ConsolePortIsAScratchFile()) << "written to COM1";
    }
}

// Files that only the shell can make: shell_made_files.sh makes them and names their folder in
// REELBOND_SHELL_MADE_FILES; in the ordinary run these tests skip.
class ShellMadeFilesTest : public LinkOperationTest {
protected:
    void SetUp() override {
        const char* folder = std::getenv("REELBOND_SHELL_MADE_FILES");
        if (!folder)
            GTEST_SKIP() << "needs the files of shell_made_files.sh";
        folder_ = folder;
    }
    std::string In(const std::string& name) const { return folder_ + "\\" + name; }

    std::string folder_;
};

TEST_F(ShellMadeFilesTest, PipesAndDevicesAreRefusedBeforeAnyRead) {
    // A pipe without a writer would block the first read for ever, /dev/zero never end.
    for (const char* name : {"pipe.mpg", "zero.mpg"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IoErrorCodeOf([&] { SequenceHeaderProbe(In(name)); }), NotADiskFileCode);
        table.ResetGrid();
        List({{"a.mpg", "a"}});
        ListPath(In(name));
        window.edit1 = dir / "out";
        EXPECT_EQ(Link(), NotADiskFileCode);
        ExpectNothingWritten(2);
    }
    List({{"b.mpg", "b"}});
    ExpectOutputsRefused({In("pipe.mpg"), In("null.mpg")}, NotAFileName);
}

// Which file a path names, as the system tells it: volume serial number and file index.
std::pair<DWORD, std::uint64_t> IdentityOf(const std::string& path) {
    const UniqueFileHandle file(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                            nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    GetFileInformationByHandle(file.get(), &info);
    return {info.dwVolumeSerialNumber,
            std::uint64_t{info.nFileIndexHigh} << 32 | info.nFileIndexLow};
}

void SetLastWriteTime(const std::string& path, const FILETIME& time) {
    const UniqueFileHandle file(CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    SetFileTime(file.get(), nullptr, nullptr, &time);
}

TEST_F(ShellMadeFilesTest, FilesOnTwoFileSystemsWithOneIdentityAreTwoFiles) {
    if (!std::getenv("REELBOND_TMPFS"))
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    // The first file of each fresh tmpfs gets the same inode number; equal sizes and times
    // leave only the final path to tell them apart.
    WriteBytes(In("m1\\in.mpg"), "input");
    WriteBytes(In("m2\\out.mpg"), "older");
    ASSERT_EQ(IdentityOf(In("m1\\in.mpg")), IdentityOf(In("m2\\out.mpg")));
    const FILETIME time{0x12345678, 0x01D00000};
    SetLastWriteTime(In("m1\\in.mpg"), time);
    SetLastWriteTime(In("m2\\out.mpg"), time);
    WriteBytes(In("m1\\b.mpg"), "b");
    ListPath(In("m1\\in.mpg"));
    ListPath(In("m1\\b.mpg"));
    window.edit1 = In("m2\\out.mpg");
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(ReadBytes(In("m2\\out.mpg")), "inputb");

    ListPath(In("m1\\in.mpg"));
    ListPath(In("m1\\b.mpg"));
    CreateHardLinkA(In("m1\\hard.mpg").c_str(), In("m1\\in.mpg").c_str(), nullptr);
    window.events.clear();
    window.edit1 = In("m1\\hard.mpg");
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events,
              (Events{"beep", "info The output file cannot be one of the input files."}));
}

TEST_F(ShellMadeFilesTest, FirstFileThatFillsTheDiskKeepsTheOldOutput) {
    if (!std::getenv("REELBOND_TMPFS"))
        GTEST_SKIP() << "tmpfs cannot be mounted here";
    // The second tmpfs holds 1 MiB.
    const std::string a = Bytes(LinkCopyBufferSize * 2, 'a');
    List({{"a.mpg", a}, {"b.mpg", "b"}});
    WriteBytes(In("m2\\full.mpg"), "old");
    const std::vector<std::string> names = FileNames(In("m2"));
    window.edit1 = In("m2\\full.mpg");
    const int code = Link();
    EXPECT_TRUE(code == 101 || code == ERROR_DISK_FULL) << code;
    EXPECT_EQ(ReadBytes(In("m2\\full.mpg")), "old");
    EXPECT_EQ(FileNames(In("m2")), names);
}

} // namespace
} // namespace reelbond::test
