#pragma once

// What the link operation's tests share: a window that records what the link does to it,
// and a fixture with a temporary directory and a table.
#include "core/file.h"
#include "core/link_operation.h"
#include "support/io_error_code.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace reelbond::test {

using Events = std::vector<std::string>;

inline constexpr SequenceHeaderInfo Ntsc{352, 240, 4};
inline constexpr SequenceHeaderInfo Pal{352, 288, 3};

// Records what the link operation does to the window, in order.
class RecordingWindow : public LinkWindow {
public:
    void DefaultBeep() override { events.push_back("beep"); }
    void InformationBox(const std::string& message) override {
        events.push_back("info " + message);
    }
    void ErrorBox(const std::string& message) override { events.push_back("error " + message); }
    std::string OutputName() const override { return edit1; }
    void FocusOutputName() override { events.push_back("focus Edit1"); }
    std::string ShownDirectory() const override { return shownDirectory; }
    void SetLinkEnabled(bool enabled) override { Switch("SpdBtnLink", enabled); }
    void SetRemoveEnabled(bool enabled) override { Switch("BitnRemove", enabled); }
    void SetClearEnabled(bool enabled) override { Switch("BitnClear", enabled); }
    void ShowProgress(int position) override {
        events.push_back("progress " + std::to_string(position));
        if (onProgress)
            onProgress(position);
    }
    void ShowCountText(const std::string& text) override { events.push_back("panel0 " + text); }

    std::string edit1;
    std::string shownDirectory;
    Events events;
    // Lets a test change the files while the link runs.
    std::function<void(int)> onProgress;

private:
    void Switch(const std::string& control, bool enabled) {
        events.push_back(control + (enabled ? " on" : " off"));
    }
};

inline const Events Completion = {
    "SpdBtnLink off", "BitnRemove off",
    "BitnClear off",  "info The files link has been done!",
    "progress 0",     "panel0   0  file(s) selected",
};

inline Events Then(Events first, const Events& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

// Distinct contents for every file, so a misplaced byte shows.
inline std::string Bytes(std::size_t size, char seed) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(seed + i * 7 + i / 251);
    return bytes;
}

inline std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

class LinkOperationTest : public testing::Test {
protected:
    LinkOperationTest() { window.shownDirectory = dir.path(); }

    // Writes the files into dir and lists them in order, all of one format.
    void List(const std::vector<std::pair<std::string, std::string>>& files) {
        for (const auto& [name, bytes] : files) {
            WriteBytes(dir / name, bytes);
            ListPath(dir / name);
        }
    }
    void ListPath(const std::string& path, const SequenceHeaderInfo& info = Ntsc) {
        table.AppendEmptyRow();
        table.FillLastRow(path, info);
    }

    // The code of the IoError that ended the link, 0 when none did.
    int Link() {
        return test::IoErrorCodeOf([&] { LinkOperation(table, window); });
    }

    // Each name typed as the output is refused with exactly the events of refusal.
    void ExpectOutputsRefused(const std::vector<std::string>& names, const Events& refusal) {
        for (const std::string& name : names) {
            SCOPED_TRACE(name);
            window.events.clear();
            window.edit1 = name;
            EXPECT_EQ(Link(), 0);
            EXPECT_EQ(window.events, refusal);
        }
    }

    void ExpectTableKept(int rows) {
        EXPECT_EQ(table.DataRowCount(), rows);
        EXPECT_GT(table.FileCount(), 0);
    }

    // An I/O error before the output was written: no output, nothing changed in the window.
    void ExpectNothingWritten(int rows) {
        EXPECT_TRUE(window.events.empty());
        ExpectTableKept(rows);
        EXPECT_FALSE(FileExists(dir / "out.mpg"));
    }

    TempDir dir;
    InputFileTable table;
    RecordingWindow window;
};

} // namespace reelbond::test
