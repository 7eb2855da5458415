#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace reelbond {

// The values of a file's first MPEG video sequence header by which input files are compared.
struct SequenceHeaderInfo {
    std::uint16_t HorizontalSize;
    std::uint16_t VerticalSize;
    std::uint8_t FrameRateCode;
};

// The first piece is small: most files have their header in the first kilobytes, and a
// probe that stops there neither reads nor allocates a large piece.
inline constexpr std::size_t SequenceHeaderFirstReadSize = 4096;
// After it the probe reads the file in pieces of this many bytes: at 1 MiB
// a piece is still in the processor's cache when it is scanned (measured faster than
// 256 KiB and 4 MiB).
inline constexpr std::size_t SequenceHeaderReadSize = std::size_t{1} << 20;

// Finds the first 00 00 01 B3 in the named file and decodes the 32 bits after it.
// std::nullopt when the file has none; throws IoError when it cannot be opened or read,
// or when the header is cut off by the end of the file. stillWorking, when given, is
// called after each piece read without a find, so a window can keep answering meanwhile.
std::optional<SequenceHeaderInfo>
SequenceHeaderProbe(const std::string& fileName, const std::function<void()>& stillWorking = {});

// The table's text for a frame rate code, such as "25 f/s"; empty for codes without one.
std::string FrameRateText(std::uint8_t frameRateCode);

} // namespace reelbond
