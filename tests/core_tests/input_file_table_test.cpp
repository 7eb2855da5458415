#include "core/add_operation.h"
#include "core/input_file_table.h"
#include "core/io_error.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <new>
#include <utility>
#include <vector>
#include <windows.h>

namespace reelbond {
namespace {

using test::Hex;
using test::TempDir;
using test::WriteBytes;

// The files of dir, in order, as the window hands a file list's selection to the add.
std::vector<std::string> Files(const std::string& dir, std::vector<std::string> names) {
    return FullPaths({dir, std::move(names)});
}

const std::string Ntsc = Hex("00 00 01 B3 16 00 F0 14");     // 352 X 240, 29.97 f/s
const std::string Pal = Hex("00 00 01 B3 16 01 20 13");      // 352 X 288, 25 f/s
const std::string NtscAt25 = Hex("00 00 01 B3 16 00 F0 13"); // 352 X 240, 25 f/s
const std::string NoRateA = Hex("00 00 01 B3 16 00 F0 10");  // code 0
const std::string NoRateB = Hex("00 00 01 B3 16 00 F0 1F");  // code 15

class InputFileTableTest : public testing::Test {
protected:
    // Adds files of the given headers, in order.
    AddOutcome Add(const std::vector<std::pair<std::string, std::string>>& files) {
        std::vector<std::string> names;
        for (const auto& [name, bytes] : files) {
            WriteBytes(dir / name, bytes);
            names.push_back(name);
        }
        return AddPaths(table, Files(dir.path(), names));
    }

    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (int row = 1; row <= table.DataRowCount(); ++row)
            cells.push_back(table.Cell(column, row));
        return cells;
    }
    std::vector<std::string> Names() const { return Column(InputFileTable::FileNameColumn); }
    std::vector<std::string> Statuses() const { return Column(InputFileTable::StatusColumn); }
    std::string Path(const std::string& name) const { return dir / name; }

    TempDir dir;
    InputFileTable table;
};

using Strings = std::vector<std::string>;

TEST_F(InputFileTableTest, StartsWithHeaderAndOneEmptyCurrentRow) {
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.Cell(0, 0), "File name");
    EXPECT_EQ(table.Cell(1, 0), "Frame size");
    EXPECT_EQ(table.Cell(2, 0), "Frame rate");
    EXPECT_EQ(table.Cell(3, 0), "Status");
    EXPECT_EQ(table.FileCount(), 0);
    EXPECT_EQ(table.CurrentRow(), 1);
    EXPECT_FALSE(table.CanMoveUp());
    EXPECT_FALSE(table.CanMoveDown());
    EXPECT_EQ(table.FileCountText(), "  0 file(s) selected");
}

TEST_F(InputFileTableTest, AddFillsRowsAndRatesAgainstTheFirst) {
    // The fourth file's full path passes 260 characters.
    const auto outcome = Add({{"a.mpg", Ntsc},
                              {"b.mpg", Pal},
                              {"c.mpg", NtscAt25},
                              {test::LongFileName, Ntsc},
                              {"a2.mpg", Ntsc}});
    EXPECT_EQ(outcome.added, 5);
    EXPECT_FALSE(outcome.stoppedAtIneligibleFile);
    EXPECT_FALSE(outcome.failure);
    EXPECT_EQ(Names(), (Strings{Path("a.mpg"), Path("b.mpg"), Path("c.mpg"),
                                Path(test::LongFileName), Path("a2.mpg")}));
    EXPECT_EQ(Column(1),
              (Strings{"352 X 240", "352 X 288", "352 X 240", "352 X 240", "352 X 240"}));
    EXPECT_EQ(Column(2), (Strings{"29.97 f/s", "25 f/s", "25 f/s", "29.97 f/s", "29.97 f/s"}));
    EXPECT_EQ(Statuses(), (Strings{"OK", "format differ", "format differ", "OK", "OK"}));
    EXPECT_EQ(table.CurrentRow(), 5);
    EXPECT_EQ(table.FileCountText(), "  5 file(s) selected");
}

TEST_F(InputFileTableTest, FrameRatesWithoutTextMatchEachOther) {
    Add({{"a.mpg", NoRateA}, {"b.mpg", NoRateB}});
    EXPECT_EQ(Column(2), (Strings{"", ""}));
    EXPECT_EQ(Statuses(), (Strings{"OK", "OK"}));
}

TEST_F(InputFileTableTest, TheSameFilesAddedTwiceTakeTwoRowsEach) {
    WriteBytes(dir / "a.mpg", Ntsc);
    WriteBytes(dir / "c.mpg", Ntsc);
    AddPaths(table, Files(dir.path(), {"a.mpg", "c.mpg"}));
    AddPaths(table, Files(dir.path(), {"a.mpg", "c.mpg"}));
    EXPECT_EQ(Names(), (Strings{Path("a.mpg"), Path("c.mpg"), Path("a.mpg"), Path("c.mpg")}));
}

TEST_F(InputFileTableTest, IneligibleFileStopsTheAddAndKeepsEarlierFiles) {
    WriteBytes(dir / "c.mpg", Ntsc);
    test::MakeReadOnly(dir / "c.mpg"); // would fail if it were probed
    const auto outcome = Add({{"a.mpg", Ntsc}, {"b.mpg", "no header here"}});
    EXPECT_EQ(outcome.added, 1);
    EXPECT_TRUE(outcome.stoppedAtIneligibleFile);
    const std::vector<std::string> list = Files(dir.path(), {"a.mpg", "b.mpg", "c.mpg"});
    const auto again = AddPaths(table, list);
    EXPECT_TRUE(again.stoppedAtIneligibleFile);
    EXPECT_FALSE(again.failure);
    EXPECT_EQ(Names(), (Strings{Path("a.mpg"), Path("a.mpg")}));
    EXPECT_EQ(table.FileCountText(), "  2 file(s) selected");
}

TEST_F(InputFileTableTest, IoErrorEndsTheAddAndIsHandedBack) {
    WriteBytes(dir / "b.mpg", Ntsc);
    test::MakeReadOnly(dir / "b.mpg");
    WriteBytes(dir / "a.mpg", Ntsc);
    WriteBytes(dir / "c.mpg", Ntsc);
    const std::vector<std::string> list = Files(dir.path(), {"a.mpg", "b.mpg", "c.mpg"});
    const auto outcome = AddPaths(table, list);
    EXPECT_EQ(outcome.added, 1);
    ASSERT_TRUE(outcome.failure);
    try {
        std::rethrow_exception(outcome.failure);
    } catch (const IoError& error) {
        EXPECT_EQ(error.Code(), 5);
        EXPECT_STREQ(error.what(), "File access denied");
    }
    EXPECT_EQ(Names(), (Strings{Path("a.mpg")}));
}

TEST_F(InputFileTableTest, FailedAllocationEndsTheAddLikeAnIoError) {
    // Memory runs out once two files are in the table, before the third is looked at.
    const auto exhausted = [this] {
        if (table.FileCount() == 2)
            throw std::bad_alloc();
    };
    WriteBytes(dir / "a.mpg", Ntsc);
    WriteBytes(dir / "b.mpg", Ntsc);
    const auto outcome = AddPaths(table, Files(dir.path(), {"a.mpg", "b.mpg", "c.mpg"}), exhausted);
    EXPECT_EQ(outcome.added, 2);
    ASSERT_TRUE(outcome.failure);
    EXPECT_THROW(std::rethrow_exception(outcome.failure), std::bad_alloc);
    EXPECT_EQ(Names(), (Strings{Path("a.mpg"), Path("b.mpg")}));
    EXPECT_EQ(table.FileCountText(), "  2 file(s) selected");
}

// Another program can move the current directory while an add runs: the format recorded is
// still that of the file in the row.
TEST_F(InputFileTableTest, AddProbesTheFileItRecordsWhereverTheCurrentDirectoryIs) {
    WriteBytes(dir / "x.mpg", Pal);
    CreateDirectoryA((dir / "sub").c_str(), nullptr);
    WriteBytes(dir / "sub\\x.mpg", Ntsc);
    const test::CurrentDirectoryGuard elsewhere(dir / "sub");
    AddPaths(table, Files(dir.path(), {"x.mpg"}));
    EXPECT_EQ(Names(), (Strings{Path("x.mpg")}));
    EXPECT_EQ(Column(1), (Strings{"352 X 288"}));
}

TEST_F(InputFileTableTest, RemoveOfTheOnlyFileLeavesTheEmptyTable) {
    Add({{"a.mpg", Ntsc}});
    EXPECT_FALSE(table.RemoveCurrentRow());
    EXPECT_EQ(table.FileCount(), 0);
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(Column(1), (Strings{""}));
    EXPECT_EQ(table.CurrentRow(), 1);
}

TEST_F(InputFileTableTest, RemoveOfTheFirstRowRerates) {
    Add({{"a.mpg", Ntsc}, {"b.mpg", Pal}, {"c.mpg", Ntsc}, {"d.mpg", Pal}});
    table.SetCurrentRow(1);
    EXPECT_TRUE(table.RemoveCurrentRow());
    EXPECT_EQ(Names(), (Strings{Path("b.mpg"), Path("c.mpg"), Path("d.mpg")}));
    EXPECT_EQ(Statuses(), (Strings{"OK", "format differ", "OK"}));
    EXPECT_EQ(table.CurrentRow(), 1);
    EXPECT_EQ(table.FileCountText(), "  3 file(s) selected");
}

TEST_F(InputFileTableTest, RemoveKeepsTheRowNumberOrTakesTheNewLast) {
    Add({{"a.mpg", Ntsc}, {"b.mpg", Pal}, {"c.mpg", Ntsc}});
    table.SetCurrentRow(2);
    table.RemoveCurrentRow();
    EXPECT_EQ(Names(), (Strings{Path("a.mpg"), Path("c.mpg")}));
    EXPECT_EQ(Statuses(), (Strings{"OK", "OK"}));
    EXPECT_EQ(table.CurrentRow(), 2);
    table.RemoveCurrentRow();
    EXPECT_EQ(Names(), (Strings{Path("a.mpg")}));
    EXPECT_EQ(table.CurrentRow(), 1);
}

TEST_F(InputFileTableTest, UpToTheFirstRowRerates) {
    Add({{"a.mpg", Ntsc}, {"b.mpg", Pal}, {"c.mpg", Ntsc}, {"d.mpg", Pal}});
    table.SetCurrentRow(2);
    table.MoveCurrentRowUp();
    EXPECT_EQ(Names(), (Strings{Path("b.mpg"), Path("a.mpg"), Path("c.mpg"), Path("d.mpg")}));
    EXPECT_EQ(Statuses(), (Strings{"OK", "format differ", "format differ", "OK"}));
    EXPECT_EQ(table.CurrentRow(), 1);
    EXPECT_FALSE(table.CanMoveUp());
    table.MoveCurrentRowUp();
    EXPECT_EQ(Names()[0], Path("b.mpg"));
}

TEST_F(InputFileTableTest, MovesBelowTheFirstRowKeepStatuses) {
    Add({{"a.mpg", Ntsc}, {"b.mpg", Pal}, {"c.mpg", Ntsc}});
    table.SetCurrentRow(3);
    table.MoveCurrentRowUp();
    EXPECT_EQ(Statuses(), (Strings{"OK", "OK", "format differ"}));
    EXPECT_EQ(table.CurrentRow(), 2);
    table.MoveCurrentRowDown();
    EXPECT_EQ(Statuses(), (Strings{"OK", "format differ", "OK"}));
    EXPECT_EQ(table.CurrentRow(), 3);
    EXPECT_FALSE(table.CanMoveDown());
    table.MoveCurrentRowDown();
    EXPECT_EQ(table.CurrentRow(), 3);
}

TEST_F(InputFileTableTest, DownFromTheFirstRowReratesOnlyWhenTheNewFirstDiffers) {
    Add({{"a.mpg", Ntsc}, {"b.mpg", Ntsc}, {"c.mpg", Pal}});
    table.SetCurrentRow(1);
    table.MoveCurrentRowDown();
    EXPECT_EQ(Statuses(), (Strings{"OK", "OK", "format differ"}));

    InputFileTable other;
    table = other;
    Add({{"a.mpg", Ntsc}, {"b.mpg", Pal}, {"c.mpg", Pal}});
    table.SetCurrentRow(1);
    table.MoveCurrentRowDown();
    EXPECT_EQ(Statuses(), (Strings{"OK", "format differ", "OK"}));
    EXPECT_TRUE(table.CanMoveUp());
    EXPECT_TRUE(table.CanMoveDown());
}

TEST_F(InputFileTableTest, ResetGridEmptiesAnyTable) {
    table.ResetGrid();
    EXPECT_EQ(table.FileCount(), 0);
    Add({{"a.mpg", Ntsc}, {"b.mpg", Pal}});
    table.ResetGrid();
    EXPECT_EQ(table.RowCount(), 2);
    EXPECT_EQ(table.FileCount(), 0);
    EXPECT_EQ(table.CurrentRow(), 1);
    EXPECT_EQ(table.FileCount(), 0);
}

TEST_F(InputFileTableTest, CurrentRowIsAlwaysADataRow) {
    Add({{"a.mpg", Ntsc}, {"b.mpg", Ntsc}});
    table.SetCurrentRow(0);
    EXPECT_EQ(table.CurrentRow(), 2);
    table.SetCurrentRow(3);
    EXPECT_EQ(table.CurrentRow(), 2);
    table.SetCurrentRow(1);
    EXPECT_EQ(table.CurrentRow(), 1);
}

} // namespace
} // namespace reelbond
