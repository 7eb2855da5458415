#include "sequence_header_probe.h"

#include "core/file.h"
#include "core/start_code_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace reelbond {
namespace {

// Sixteen bytes before each piece keep the reads aligned; the scan uses the last three.
constexpr std::size_t Lead = 16;
static_assert(Lead >= StartCodeScanLead);

// Where the first start code ends, and the four bytes after its B3 when the piece that held
// it holds them too.
struct StartCode {
    std::int64_t b3Offset = -1;
    std::size_t bytesAfter = 0;
    std::array<unsigned char, 4> after{};
};

// A piece of the file with room before it for the bytes carried over and after it for the
// scan's look-ahead.
class Piece {
public:
    explicit Piece(std::size_t capacity)
        : capacity_(capacity), buffer_(std::make_unique_for_overwrite<unsigned char[]>(
                                   Lead + capacity + StartCodeScanTail)) {
        // Bytes before the file's start are none of 00, 01: nothing can match across them.
        std::memset(Data() - StartCodeScanLead, 0xFF, StartCodeScanLead);
    }

    unsigned char* Data() const { return buffer_.get() + Lead; }
    std::size_t Capacity() const { return capacity_; }

    // Fills the piece from the file; returns how many bytes arrived.
    std::size_t ReadFrom(File& file) {
        const std::size_t got = file.ReadUpTo(Data(), capacity_);
        std::memset(Data() + got, 0, StartCodeScanTail);
        return got;
    }

    // The last bytes of the previous piece go before this one, so that a start code split
    // between two reads is still found.
    void CarryOver(const unsigned char* end) {
        std::memcpy(Data() - StartCodeScanLead, end - StartCodeScanLead, StartCodeScanLead);
    }

private:
    std::size_t capacity_;
    std::unique_ptr<unsigned char[]> buffer_;
};

StartCode FoundAt(const unsigned char* b3, const unsigned char* end, std::int64_t offset) {
    StartCode found{offset, std::min<std::size_t>(4, static_cast<std::size_t>(end - b3 - 1)), {}};
    std::memcpy(found.after.data(), b3 + 1, found.bytesAfter);
    return found;
}

StartCode FindStartCode(File& file, const std::function<void()>& stillWorking) {
    Piece first(SequenceHeaderFirstReadSize);
    std::optional<Piece> large;
    Piece* piece = &first;
    std::int64_t pieceOffset = 0;
    for (;;) {
        const std::size_t got = piece->ReadFrom(file);
        const unsigned char* const data = piece->Data();
        if (const unsigned char* b3 = FindStartCodeEnd(data, data + got))
            return FoundAt(b3, data + got, pieceOffset + (b3 - data));
        if (got < piece->Capacity())
            return {};
        if (stillWorking)
            stillWorking();
        if (!large)
            piece = &large.emplace(SequenceHeaderReadSize);
        piece->CarryOver(data + got);
        pieceOffset += static_cast<std::int64_t>(got);
    }
}

// The three values from the four bytes after the start code. Those not read with the
// piece are read now; all four must exist, or the read is short ("Read beyond end of file").
SequenceHeaderInfo ReadHeaderAfter(File& file, StartCode& found) {
    std::array<unsigned char, 4>& b = found.after;
    if (found.bytesAfter < b.size()) {
        file.Seek(found.b3Offset + 1);
        file.Read(b.data(), b.size());
    }
    return {
        static_cast<std::uint16_t>(b[0] << 4 | b[1] >> 4),
        static_cast<std::uint16_t>((b[1] & 0x0F) << 8 | b[2]),
        static_cast<std::uint8_t>(b[3] & 0x0F),
    };
}

} // namespace

std::optional<SequenceHeaderInfo> SequenceHeaderProbe(const std::string& fileName,
                                                      const std::function<void()>& stillWorking) {
    File file = File::OpenExisting(fileName);
    std::optional<SequenceHeaderInfo> info;
    if (StartCode found = FindStartCode(file, stillWorking); found.b3Offset >= 0)
        info = ReadHeaderAfter(file, found);
    file.Close();
    return info;
}

std::string FrameRateText(std::uint8_t frameRateCode) {
    static constexpr const char* Texts[] = {"",       "23.976 f/s", "24 f/s",
                                            "25 f/s", "29.97 f/s",  "30 f/s",
                                            "50 f/s", "59.94 f/s",  "60 f/s"};
    return frameRateCode < std::size(Texts) ? Texts[frameRateCode] : "";
}

} // namespace reelbond
