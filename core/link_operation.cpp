#include "core/link_operation.h"

#include "core/file.h"
#include "core/io_error.h"
#include "core/path.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace reelbond {
namespace {

constexpr char TooFewFilesMessage[] = "The input files should be more than one.";
constexpr char FormatDifferMessage[] =
    "The input files have different format and cannot be linked.";
constexpr char NoNameMessage[] = "The output file need a name.";
constexpr char OutputIsInputMessage[] = "The output file cannot be one of the input files.";
constexpr char NotAFileNameMessage[] = "The output file name is not a valid file name.";
constexpr char DoneMessage[] = "The files link has been done!";

// ".mpg" is appended unless ".mpg" or ".mpeg" occurs anywhere in the name, case-sensitive.
std::string OutputFileName(const std::string& text) {
    if (text.find(".mpg") != std::string::npos || text.find(".mpeg") != std::string::npos)
        return text;
    return text + ".mpg";
}

std::vector<std::string> InputPaths(const InputFileTable& table) {
    std::vector<std::string> paths;
    for (int row = 1; row <= table.DataRowCount(); ++row)
        paths.push_back(table.Cell(InputFileTable::FileNameColumn, row));
    return paths;
}

bool HasFormatDiffer(const InputFileTable& table) {
    for (int row = 1; row <= table.DataRowCount(); ++row)
        if (table.Cell(InputFileTable::StatusColumn, row) == StatusFormatDiffer)
            return true;
    return false;
}

// The output is looked at once, whatever the number of inputs.
bool IsOneOfInputs(const FileAtPath& output, const std::vector<std::string>& inputs) {
    return std::any_of(inputs.begin(), inputs.end(),
                       [&](const std::string& input) { return output.IsSameFileAs(input); });
}

// Beeps and shows why the link does not go on.
std::nullopt_t Refuse(LinkWindow& window, const char* message) {
    window.DefaultBeep();
    window.InformationBox(message);
    return std::nullopt;
}

// The checks made before any file is opened. Returns the output's full path when they let
// the link go on: resolved once, here, so that another directory shown while the link runs
// cannot send the output elsewhere.
std::optional<std::string> CheckedOutputPath(const InputFileTable& table, LinkWindow& window) {
    if (table.DataRowCount() <= 1) {
        window.InformationBox(TooFewFilesMessage);
        window.SetLinkEnabled(false);
        return std::nullopt;
    }
    if (HasFormatDiffer(table))
        return Refuse(window, FormatDifferMessage);
    const std::string name = window.OutputName();
    if (name.empty()) {
        Refuse(window, NoNameMessage);
        window.FocusOutputName();
        return std::nullopt;
    }
    const std::string outputPath = FullPathFrom(window.ShownDirectory(), OutputFileName(name));
    // A device or a pipe would take the output and keep nothing; a stream would write into
    // another file, perhaps an input.
    if (IsDeviceName(outputPath) || NamesStream(outputPath))
        return Refuse(window, NotAFileNameMessage);
    const FileAtPath output(outputPath);
    if (!output.IsDiskFile())
        return Refuse(window, NotAFileNameMessage);
    if (IsOneOfInputs(output, InputPaths(table)))
        return Refuse(window, OutputIsInputMessage);
    return outputPath;
}

// Every input is opened before the output is touched, so a missing one ends the link with
// nothing written.
std::int64_t TotalSize(const std::vector<std::string>& inputs) {
    std::int64_t total = 0;
    for (const std::string& path : inputs) {
        File input = File::OpenExisting(path);
        total += input.Size();
        input.Close();
    }
    return total;
}

// The bar shows the whole-number percentage of the total size written so far.
class Progress {
public:
    Progress(LinkWindow& window, std::int64_t totalSize) : window_(window), total_(totalSize) {}

    void FileDone(std::int64_t written) {
        Show(PercentOf(written));
        window_.StillWorking();
    }

    // Within a large file the bar moves only when its whole number changes.
    void Advance(std::int64_t written) {
        window_.StillWorking();
        const int percent = PercentOf(written);
        if (percent != shown_)
            Show(percent);
    }

private:
    void Show(int percent) {
        shown_ = percent;
        window_.ShowProgress(percent);
    }

    int PercentOf(std::int64_t written) const {
        // Nothing to write counts as all of it written.
        if (total_ == 0)
            return 100;
        return static_cast<int>(std::min<std::int64_t>(written * 100 / total_, 100));
    }

    LinkWindow& window_;
    std::int64_t total_;
    int shown_ = 0;
};

// Appends the whole input at the output's end and returns the new count of bytes written.
// A failed read cuts the output back, so it never holds part of an input that could not
// be read; after a failed write what reached the disk stays.
std::int64_t AppendFile(File& input, File& output, std::vector<char>& buffer, std::int64_t written,
                        Progress& progress) {
    const std::int64_t size = input.Size();
    const std::int64_t start = output.Size();
    output.Seek(start);
    for (std::int64_t done = 0; done < size;) {
        const auto piece =
            static_cast<std::size_t>(std::min<std::int64_t>(size - done, buffer.size()));
        try {
            input.Read(buffer.data(), piece);
        } catch (const IoError&) {
            output.Truncate(start);
            throw;
        }
        output.Write(buffer.data(), piece);
        done += piece;
        if (done < size)
            progress.Advance(written + done);
    }
    return written + size;
}

// The first file written goes into a new file beside the output, which replaces the output
// only once it holds that whole file: an input that cannot be read to its end, or a disk
// that fills, then leaves an existing output as it was and no new file behind. Returns the
// output, open for the files after it.
File WriteFirstFile(File& input, const std::string& outputPath, std::vector<char>& buffer,
                    std::int64_t& written, Progress& progress) {
    // An output that cannot be replaced, such as one another program holds open, fails
    // here, before any copying.
    if (FileExists(outputPath))
        CheckReplaceable(outputPath);
    File staged = File::CreateBeside(outputPath);
    written = AppendFile(input, staged, buffer, written, progress);
    staged.TakePlaceOf(outputPath);
    return staged;
}

// The output stays open from the first file written to the last.
void CopyPass(const std::vector<std::string>& inputs, const std::string& outputPath,
              LinkWindow& window, std::int64_t totalSize) {
    std::vector<char> buffer(LinkCopyBufferSize);
    Progress progress(window, totalSize);
    std::int64_t written = 0;
    File output;
    for (const std::string& path : inputs) {
        if (!FileExists(path)) {
            window.ErrorBox(" File: " + path + " not found.");
            continue;
        }
        File input = File::OpenExisting(path);
        if (output.IsOpen())
            written = AppendFile(input, output, buffer, written, progress);
        else
            output = WriteFirstFile(input, outputPath, buffer, written, progress);
        progress.FileDone(written);
        input.Close();
    }
    if (output.IsOpen())
        output.Close();
}

void Complete(InputFileTable& table, LinkWindow& window) {
    table.ResetGrid();
    window.SetLinkEnabled(false);
    window.SetRemoveEnabled(false);
    window.SetClearEnabled(false);
    window.InformationBox(DoneMessage);
    window.ShowProgress(0);
    window.ShowCountText(EmptiedCountText);
}

} // namespace

void LinkOperation(InputFileTable& table, LinkWindow& window) {
    const std::optional<std::string> outputPath = CheckedOutputPath(table, window);
    if (!outputPath)
        return;
    const std::vector<std::string> inputs = InputPaths(table);
    CopyPass(inputs, *outputPath, window, TotalSize(inputs));
    Complete(table, window);
}

} // namespace reelbond
