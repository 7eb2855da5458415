#include "link_operation_fixture.h"

#include "core/text.h"

#include <cstdlib>
#include <windows.h>

namespace reelbond::test {
namespace {

TEST_F(LinkOperationTest, NoneOrOneFileIsRefusedWithoutBeepAndDisablesLink) {
    window.edit1 = "joined";
    const Events refused = {"info The input files should be more than one.", "SpdBtnLink off"};
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, refused);

    window.events.clear();
    List({{"a.mpg", "a"}});
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, refused);
    ExpectTableKept(1);
    EXPECT_FALSE(FileExists(dir / "joined.mpg"));
}

TEST_F(LinkOperationTest, FormatMessageComesBeforeTheNameMessage) {
    List({{"a.mpg", "a"}});
    WriteBytes(dir / "b.mpg", "b");
    ListPath(dir / "b.mpg", Pal);
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events,
              (Events{"beep", "info The input files have different format and cannot be linked."}));
    ExpectTableKept(2);
}

TEST_F(LinkOperationTest, EmptyNameIsRefusedAndBlanksAreAName) {
    List({{"a.mpg", "a"}, {"b.mpg", "b"}});
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, (Events{"beep", "info The output file need a name.", "focus Edit1"}));
    ExpectTableKept(2);

    window.events.clear();
    window.edit1 = "   ";
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(ReadBytes(dir / "   .mpg"), "ab");
}

TEST_F(LinkOperationTest, MpgIsAppendedUnlessAnMpegExtensionOccursAnywhere) {
    // The last output's path passes 260 characters, as does the second input's.
    const std::vector<std::pair<std::string, std::string>> typedAndUsed = {
        {"joined", "joined.mpg"},
        {"joined.mpeg", "joined.mpeg"},
        {"joined.mpg", "joined.mpg"},
        {"JOINED.MPG", "JOINED.MPG.mpg"},
        {"my.mpg.files\\joined", "my.mpg.files\\joined"},
        {DeepFolders + "\\joined", DeepFolders + "\\joined.mpg"},
    };
    const std::string a = Bytes(LinkCopyBufferSize + 5, 'a');
    for (const auto& [typed, used] : typedAndUsed) {
        SCOPED_TRACE(typed);
        TempDir out;
        MakeFolders(out / "my.mpg.files");
        MakeFolders(out / DeepFolders);
        List({{"a.mpg", a}, {LongFileName, "b"}});
        window.edit1 = out / typed;
        EXPECT_EQ(Link(), 0);
        EXPECT_TRUE(ReadBytes(out / used) == a + "b");
        EXPECT_EQ(FileExists(out / typed), typed == used);
    }
}

TEST_F(LinkOperationTest, BareNameResolvesAgainstTheDirectoryShownAtTheStart) {
    TempDir shown, other;
    window.shownDirectory = shown.path();
    const std::string a = Bytes(LinkCopyBufferSize * 2, 'a');
    List({{"a.mpg", a}, {"b.mpg", "b"}});
    WriteBytes(other / "joined.mpg", "other");
    window.edit1 = "joined";
    // Another directory chosen while the first file is copied changes nothing.
    window.onProgress = [&](int) { window.shownDirectory = other.path(); };
    EXPECT_EQ(Link(), 0);
    EXPECT_TRUE(ReadBytes(shown / "joined.mpg") == a + "b");
    EXPECT_EQ(ReadBytes(other / "joined.mpg"), "other");
}

TEST_F(LinkOperationTest, OutputIsTheConcatenationInTableOrderAndReplacesAnOldOne) {
    // Larger than the copy buffer, so they go through it in pieces; b is listed twice.
    const std::string a = Bytes(LinkCopyBufferSize * 5 / 2, 'a');
    const std::string b = Bytes(1000, 'b');
    const std::string c = Bytes(LinkCopyBufferSize, 'c');
    List({{"a.mpg", a}, {"b.mpg", b}, {"c.mpg", c}, {"b.mpg", b}});
    WriteBytes(dir / "out.mpg", Bytes(LinkCopyBufferSize * 8, 'x'));
    window.edit1 = dir / "out.mpg";
    EXPECT_EQ(Link(), 0);
    EXPECT_TRUE(ReadBytes(dir / "out.mpg") == a + b + c + b);
    EXPECT_EQ(table.FileCount(), 0);
    EXPECT_EQ(table.DataRowCount(), 1);
    const Events last(window.events.end() - Completion.size(), window.events.end());
    EXPECT_EQ(last, Completion);
}

TEST_F(LinkOperationTest, ProgressIsTheTruncatedPercentageAfterEachFile) {
    List({{"a.mpg", Bytes(100, 'a')}, {"b.mpg", Bytes(200, 'b')}, {"c.mpg", Bytes(700, 'c')}});
    window.edit1 = dir / "out";
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, Then({"progress 10", "progress 30", "progress 100"}, Completion));
    EXPECT_EQ(ReadBytes(dir / "out.mpg").size(), 1000u);
}

TEST_F(LinkOperationTest, EmptyInputsAddNothingAndAllEmptyShowsFull) {
    List({{"e1.mpg", ""}, {"e2.mpg", ""}});
    window.edit1 = dir / "empty";
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, Then({"progress 100", "progress 100"}, Completion));
    EXPECT_TRUE(FileExists(dir / "empty.mpg"));
    EXPECT_EQ(ReadBytes(dir / "empty.mpg"), "");

    window.events.clear();
    List({{"e1.mpg", ""}, {"x.mpg", "xyz"}, {"e2.mpg", ""}});
    window.edit1 = dir / "mixed";
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, Then({"progress 0", "progress 100", "progress 100"}, Completion));
    EXPECT_EQ(ReadBytes(dir / "mixed.mpg"), "xyz");
}

TEST_F(LinkOperationTest, FileRemovedAfterSizingIsReportedAndSkipped) {
    const std::string a = Bytes(300, 'a'), c = Bytes(300, 'c');
    List({{"a.mpg", a}, {"b.mpg", Bytes(300, 'b')}, {"c.mpg", c}});
    window.edit1 = dir / "out";
    window.onProgress = [&](int) { DeleteFileA((dir / "b.mpg").c_str()); };
    EXPECT_EQ(Link(), 0);
    EXPECT_EQ(window.events, Then({"progress 33", "error  File: " + (dir / "b.mpg") + " not found.",
                                   "progress 66"},
                                  Completion));
    EXPECT_TRUE(ReadBytes(dir / "out.mpg") == a + c);
}

TEST_F(LinkOperationTest, MissingFileOrDirectoryEndsTheLinkBeforeAnythingIsWritten) {
    List({{"a.mpg", "a"}, {"b.mpg", "b"}});
    window.edit1 = dir / "nodir\\out";
    EXPECT_EQ(Link(), 3);
    window.edit1 = dir / "out";
    ListPath(dir / "nodir\\c.mpg");
    EXPECT_EQ(Link(), 3);

    table.ResetGrid();
    List({{"a.mpg", "a"}});
    ListPath(dir / "gone.mpg");
    EXPECT_EQ(Link(), 2);
    ExpectNothingWritten(2);
}

TEST_F(LinkOperationTest, ReadOnlyInputOrAnOutputThatCannotBeReplacedIsRefused) {
    List({{"a.mpg", "a"}, {"ro.mpg", "ro"}});
    test::MakeReadOnly(dir / "ro.mpg");
    window.edit1 = dir / "out";
    EXPECT_EQ(Link(), 5);
    ExpectNothingWritten(2);

    table.ResetGrid();
    List({{"a.mpg", "a"}, {"b.mpg", "b"}});
    WriteBytes(dir / "old.mpg", "old");
    test::MakeReadOnly(dir / "old.mpg");
    window.edit1 = dir / "old.mpg";
    EXPECT_EQ(Link(), 5);
    EXPECT_EQ(ReadBytes(dir / "old.mpg"), "old");
    EXPECT_TRUE(window.events.empty());
    ExpectTableKept(2);

    // Held open by another program, as a player or the indexer does, even one that lets it be
    // deleted: no rename can replace a file that is open, so nothing is copied.
    table.ResetGrid();
    List({{"big.mpg", Bytes(LinkCopyBufferSize * 3, 'a')}, {"b.mpg", "b"}});
    WriteBytes(dir / "held.mpg", "old");
    const std::vector<std::string> files = FileNames(dir.path());
    window.edit1 = dir / "held.mpg";
    for (const DWORD sharing : {FILE_SHARE_READ | FILE_SHARE_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}) {
        const UniqueFileHandle held(CreateFileW(Widened(dir / "held.mpg").c_str(), GENERIC_READ,
                                                sharing, nullptr, OPEN_EXISTING,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        EXPECT_EQ(Link(), ERROR_SHARING_VIOLATION);
        EXPECT_EQ(ReadBytes(dir / "held.mpg"), "old");
        EXPECT_TRUE(window.events.empty());
        EXPECT_EQ(FileNames(dir.path()), files);
    }
}

TEST_F(LinkOperationTest, ReadFailingPartWayCutsTheOutputBack) {
    const std::string a = Bytes(1000, 'a');
    List({{"a.mpg", a}, {"b.mpg", Bytes(LinkCopyBufferSize * 3, 'b')}});
    window.edit1 = dir / "out";
    // Once the first piece of b is written, b loses its end.
    window.onProgress = [&](int position) {
        if (position > 0)
            File::OpenExisting(dir / "b.mpg").Truncate(LinkCopyBufferSize * 3 / 2);
    };
    EXPECT_EQ(Link(), 100);
    EXPECT_TRUE(ReadBytes(dir / "out.mpg") == a);
    EXPECT_EQ(window.events, (Events{"progress 0", "progress 33"}));
    ExpectTableKept(2);
}

// Runs only as its own ctest entry, which starts the tests under a file size limit: the
// write that crosses it comes back short, as on a disk that has just filled up.
TEST_F(LinkOperationTest, DiskFullKeepsTheFirstFileAndPartOfTheSecond) {
    const char* limitText = std::getenv("REELBOND_FILE_SIZE_LIMIT");
    if (!limitText)
        GTEST_SKIP() << "needs the file size limit of its own ctest entry";
    const std::size_t limit = std::strtoul(limitText, nullptr, 10);
    // An odd length, so that no piece of the second file ends right at the limit.
    const std::string a = Bytes(limit / 4 + 1, 'a'), b = Bytes(limit, 'b');
    List({{"a.mpg", a}, {"b.mpg", b}});
    window.edit1 = dir / "out";
    EXPECT_EQ(Link(), 101);
    EXPECT_TRUE(ReadBytes(dir / "out.mpg") == (a + b).substr(0, limit));
    for (const std::string& event : window.events)
        EXPECT_EQ(event.rfind("progress ", 0), 0u) << event;
    ExpectTableKept(2);
}

TEST_F(LinkOperationTest, OutputThatIsAnInputByAnotherSpellingIsRefused) {
    List({{"a.mpg", "a"}, {"b.mpg", "b"}});
    ListPath(dir / "gone.mpg");
    CreateHardLinkA((dir / "hard.mpg").c_str(), (dir / "a.mpg").c_str(), nullptr);
    const Events refused = {"beep", "info The output file cannot be one of the input files."};
    ExpectOutputsRefused({dir / "sub\\..\\a.mpg", Upper(dir.path()) + "\\B.mpg", "b",
                          dir / "hard.mpg", dir / "GONE.mpg"},
                         refused);
    ExpectTableKept(3);
    EXPECT_EQ(ReadBytes(dir / "a.mpg"), "a");
    EXPECT_EQ(ReadBytes(dir / "b.mpg"), "b");
}

// The output of over 4 GiB is written for real: on Wine's view of the RAM disk /dev/shm,
// when it and the memory have room, that takes seconds instead of half a minute.
std::string RoomyTempRoot(std::int64_t bytes) {
    const char ramDisk[] = "Z:\\dev\\shm\\";
    ULARGE_INTEGER free;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    const auto room = static_cast<std::uint64_t>(bytes) * 2;
    if (GetDiskFreeSpaceExA(ramDisk, &free, nullptr, nullptr) && free.QuadPart > room &&
        GlobalMemoryStatusEx(&memory) && memory.ullAvailPhys > room)
        return ramDisk;
    return "";
}

TEST_F(LinkOperationTest, FileOver4GiBIsJoinedWithASmallOne) {
    const std::int64_t bigSize = (std::int64_t{4} << 30) + 3;
    const TempDir roomy(RoomyTempRoot(bigSize));
    // Sparse: only its first and last bytes take room.
    WriteBytes(roomy / "big.mpg", "BEG");
    File big = File::OpenExisting(roomy / "big.mpg");
    big.Seek(bigSize - 3);
    big.Write("END", 3);
    big.Close();
    WriteBytes(dir / "small.mpg", "small");
    ListPath(roomy / "big.mpg");
    ListPath(dir / "small.mpg");
    window.edit1 = roomy / "out";

    EXPECT_EQ(Link(), 0);
    File out = File::OpenExisting(roomy / "out.mpg");
    EXPECT_EQ(out.Size(), bigSize + 5);
    std::string seam(8, '\0');
    out.Seek(bigSize - 3);
    out.Read(seam.data(), seam.size());
    EXPECT_EQ(seam, "ENDsmall");
    std::string start(3, '\0');
    out.Seek(0);
    out.Read(start.data(), start.size());
    EXPECT_EQ(start, "BEG");
    out.Close();

    // Within the big file the bar climbs; after it and after the small one it shows the
    // percentages of the 64-bit totals.
    std::vector<int> positions;
    for (const std::string& event : window.events) {
        if (event.rfind("progress ", 0) == 0)
            positions.push_back(std::stoi(event.substr(9)));
    }
    ASSERT_GE(positions.size(), 3u);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end() - 1));
    EXPECT_EQ(std::vector<int>(positions.end() - 3, positions.end()),
              (std::vector<int>{99, 100, 0}));
}

} // namespace
} // namespace reelbond::test
