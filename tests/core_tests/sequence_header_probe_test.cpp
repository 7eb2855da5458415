#include "core/file.h"
#include "core/io_error.h"
#include "core/sequence_header_probe.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <windows.h>
#include <winioctl.h>

namespace reelbond {
namespace {

using test::Hex;
using test::TempDir;
using test::TestMedia;
using test::WriteBytes;

constexpr std::size_t Piece = SequenceHeaderReadSize;
// Where the reads end: the small first one, then the large ones.
constexpr std::size_t ReadEnds[] = {SequenceHeaderFirstReadSize,
                                    SequenceHeaderFirstReadSize + Piece};

// The probe's outcome in one comparable line: "352x240 code 4", "none" or "error 100".
std::string Probe(const std::string& path) {
    try {
        const auto info = SequenceHeaderProbe(path);
        if (!info)
            return "none";
        return std::to_string(info->HorizontalSize) + "x" + std::to_string(info->VerticalSize) +
               " code " + std::to_string(info->FrameRateCode);
    } catch (const IoError& error) {
        return "error " + std::to_string(error.Code());
    }
}

std::string ProbeBytes(const TempDir& dir, const std::string& bytes) {
    WriteBytes(dir / "probe.mpg", bytes);
    return Probe(dir / "probe.mpg");
}

// Nobody else holds the file open: an exclusive open succeeds.
bool IsClosed(const std::string& path) {
    return bool(UniqueFileHandle(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr)));
}

// A file of size bytes, holes except bytes written at offset.
void WriteSparseFile(const std::string& path, std::int64_t size, std::int64_t offset,
                     const std::string& bytes) {
    const UniqueFileHandle opened(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
    ASSERT_TRUE(opened);
    const HANDLE file = opened.get();
    DWORD returned = 0;
    // Windows would otherwise fill the gap with real zeros; Wine's files are sparse anyway.
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);
    LARGE_INTEGER position;
    position.QuadPart = offset;
    DWORD written = 0;
    const bool wrote =
        SetFilePointerEx(file, position, nullptr, FILE_BEGIN) &&
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    position.QuadPart = size;
    const bool sized = SetFilePointerEx(file, position, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    ASSERT_TRUE(wrote && sized && written == bytes.size());
}

TEST(FrameRateTextTest, CodesOneToEightHaveTextsAllOthersNone) {
    const char* texts[] = {"",       "23.976 f/s", "24 f/s",    "25 f/s", "29.97 f/s",
                           "30 f/s", "50 f/s",     "59.94 f/s", "60 f/s"};
    for (std::uint8_t code = 0; code <= 8; ++code)
        EXPECT_EQ(FrameRateText(code), texts[code]) << int{code};
    for (int code = 9; code <= 255; ++code)
        EXPECT_EQ(FrameRateText(static_cast<std::uint8_t>(code)), "") << code;
}

TEST(SequenceHeaderProbeTest, DecodesTheFourBytesAfterTheStartCode) {
    TempDir dir;
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 B3 16 00 F0 14")), "352x240 code 4");
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 00 01 B3 16 00 F0 14")), "352x240 code 4");
    EXPECT_EQ(ProbeBytes(dir, Hex("47 00 00 01 B3 16 01 20 13 00 00 01 B8")), "352x288 code 3");
    // Every bit lands in its field; the aspect ratio nibble is dropped.
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 B3 FF FF FF FF")), "4095x4095 code 15");
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 B3 AB CD EF 5A")), "2748x3567 code 10");
}

TEST(SequenceHeaderProbeTest, CodesWithoutTextAreStillFound) {
    TempDir dir;
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 B3 16 00 F0 10")), "352x240 code 0");
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 B3 16 00 F0 19")), "352x240 code 9");
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 B3 16 00 F0 1F")), "352x240 code 15");
}

TEST(SequenceHeaderProbeTest, FirstStartCodeWinsAndNearMissesDoNot) {
    TempDir dir;
    // A start code inside a pack header's data comes first and is taken.
    EXPECT_EQ(ProbeBytes(dir, Hex("00 00 01 BA 00 00 01 B3 01 01 01 02 "
                                  "00 00 01 E0 00 00 01 B3 16 00 F0 14")),
              "16x257 code 2");
    EXPECT_EQ(ProbeBytes(dir, Hex("00 01 B3 00 00 02 B3 01 00 01 B3 00 00 01 B2 "
                                  "00 00 01 00 00 01 B3 16 01 20 13")),
              "352x288 code 3");
    EXPECT_EQ(ProbeBytes(dir, Hex("00 01 B3 00 00 02 B3 01 00 01 B3 00 00 01 B2 B3 B3 B3")),
              "none");
}

TEST(SequenceHeaderProbeTest, ShortAndEmptyFilesHaveNoHeader) {
    TempDir dir;
    for (const char* bytes : {"", "B3", "01 B3", "00 01 B3", "B3 B3 B3"})
        EXPECT_EQ(ProbeBytes(dir, Hex(bytes)), "none") << bytes;
}

TEST(SequenceHeaderProbeTest, HeaderCutOffByTheEndIsAReadError) {
    TempDir dir;
    for (const char* bytes : {"00 00 01 B3", "00 00 01 B3 16", "00 00 01 B3 16 00",
                              "00 00 01 B3 16 00 F0", "12 00 00 01 B3 16 00 F0"}) {
        EXPECT_EQ(ProbeBytes(dir, Hex(bytes)), "error 100") << bytes;
        EXPECT_TRUE(IsClosed(dir / "probe.mpg"));
    }
}

TEST(SequenceHeaderProbeTest, NothingCarriesOverFromAnEarlierProbe) {
    TempDir dir;
    WriteBytes(dir / "with.mpg", Hex("00 00 01 B3 16 00 F0 14"));
    WriteBytes(dir / "without.mpg", Hex("B3 16 00 F0 14 00 00 01"));
    EXPECT_EQ(Probe(dir / "with.mpg"), "352x240 code 4");
    EXPECT_EQ(Probe(dir / "without.mpg"), "none");
    EXPECT_TRUE(IsClosed(dir / "with.mpg"));
    EXPECT_TRUE(IsClosed(dir / "without.mpg"));
}

TEST(SequenceHeaderProbeTest, StartCodeAcrossTwoReadsIsFound) {
    TempDir dir;
    // The B3 lands just before, on and after the end of a read.
    for (const std::size_t end : ReadEnds) {
        for (std::size_t before = 0; before <= 8; ++before) {
            std::string bytes(end + 16, '\0');
            bytes.replace(end - before, 8, Hex("00 00 01 B3 16 01 20 13"));
            EXPECT_EQ(ProbeBytes(dir, bytes), "352x288 code 3") << end << " " << before;
        }
    }
}

TEST(SequenceHeaderProbeTest, PartsOfStartCodesAcrossTwoReadsDoNotMatch) {
    TempDir dir;
    for (const std::size_t end : ReadEnds) {
        std::string bytes(end + 16, '\x01');
        bytes.replace(end - 3, 4, Hex("00 00 01 B2"));
        EXPECT_EQ(ProbeBytes(dir, bytes), "none") << end;
        bytes.replace(end - 3, 4, Hex("00 00 02 B3"));
        EXPECT_EQ(ProbeBytes(dir, bytes), "none") << end;
        // The last, short read still completes a start code begun in the read before.
        bytes = std::string(end - 3, '\0') + Hex("00 00 01 B3 16 00");
        EXPECT_EQ(ProbeBytes(dir, bytes), "error 100") << end;
    }
}

TEST(SequenceHeaderProbeTest, HeaderNearTheEndOfALargeFileIsFound) {
    TempDir dir;
    // Filled with near misses: 00 00 01 and 00 01 B3 throughout, never 00 00 01 B3.
    std::string bytes;
    while (bytes.size() < 2 * Piece + 1000)
        bytes += Hex("00 00 01 B2 00 01 B3 B3");
    EXPECT_EQ(ProbeBytes(dir, bytes), "none");
    bytes.replace(bytes.size() - 20, 8, Hex("00 00 01 B3 2D 02 40 13"));
    EXPECT_EQ(ProbeBytes(dir, bytes), "720x576 code 3");
    // Each full read without a find gives the window its turn: the small one and one large.
    int turns = 0;
    EXPECT_TRUE(SequenceHeaderProbe(dir / "probe.mpg", [&] { ++turns; }));
    EXPECT_EQ(turns, 2);
}

TEST(SequenceHeaderProbeTest, HeaderBeyondFourGibibytesIsFound) {
    TempDir dir;
    // Just past 4 GiB, where a 32-bit position or size would wrap. Reading the holes fills
    // the page cache with zeros, up to 2 s per GiB on a busy machine: no further out.
    const std::int64_t headerAt = (std::int64_t{1} << 32) + 1000;
    WriteSparseFile(dir / "big.mpg", headerAt + 1000000, headerAt, Hex("00 00 01 B3 16 00 F0 14"));
    EXPECT_EQ(Probe(dir / "big.mpg"), "352x240 code 4");
}

TEST(SequenceHeaderProbeTest, FailuresToOpenCarryTheSystemCode) {
    TempDir dir;
    EXPECT_EQ(Probe(dir / "missing.mpg"), "error 2");
    EXPECT_EQ(Probe(dir / "nodir\\a.mpg"), "error 3");
    EXPECT_EQ(Probe(dir.path()), "error 5");
    WriteBytes(dir / "ro.mpg", Hex("00 00 01 B3 16 00 F0 14"));
    test::MakeReadOnly(dir / "ro.mpg");
    EXPECT_EQ(Probe(dir / "ro.mpg"), "error 5");

    WriteBytes(dir / "held.mpg", Hex("00 00 01 B3 16 00 F0 14"));
    const UniqueFileHandle held(CreateFileA((dir / "held.mpg").c_str(), GENERIC_READ,
                                            FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(Probe(dir / "held.mpg"), "error 32");
}

TEST(SequenceHeaderProbeTest, RealFilesGiveWhatFfprobeReports) {
    EXPECT_EQ(Probe(TestMedia("mpeg1_ps_352x240_2997_a.mpg")), "352x240 code 4");
    EXPECT_EQ(Probe(TestMedia("mpeg1_ps_352x240_2997_b.mpg")), "352x240 code 4");
    EXPECT_EQ(Probe(TestMedia("mpeg1_es_352x288_25.mpg")), "352x288 code 3");
    EXPECT_EQ(Probe(TestMedia("mpeg2_ps_720x576_25.mpg")), "720x576 code 3");
    EXPECT_EQ(Probe(TestMedia("mpeg2_es_480x480_2997.mpeg")), "480x480 code 4");
}

} // namespace
} // namespace reelbond
