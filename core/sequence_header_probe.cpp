#include "sequence_header_probe.h"

#include "file.h"

#include <array>
#include <bit>
#include <cstring>
#include <emmintrin.h>
#include <memory>

namespace reelbond {
namespace {

// The bytes before the piece being scanned: the last three of the previous piece, so a
// start code split between two reads is still found. Sixteen keep the reads aligned.
constexpr std::size_t Lead = 16;
constexpr std::size_t CarriedBytes = 3;
// The vector search looks up to this far past the data; zeros there cannot end a start code.
constexpr std::size_t Tail = 64;

// 0xFF in each of the 16 bytes at `at` that equals value.
__m128i Equals(const unsigned char* at, unsigned char value) {
    return _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)),
                          _mm_set1_epi8(static_cast<char>(value)));
}

// B3 after 01: rare in any data, so the full test below runs seldom.
__m128i MayEndStartCode(const unsigned char* at) {
    return _mm_and_si128(Equals(at, 0xB3), Equals(at - 1, 0x01));
}

// One bit per byte of the 16 at `at` that is the B3 of a 00 00 01 B3.
unsigned StartCodeEnds(const unsigned char* at) {
    const __m128i zerosBefore = _mm_and_si128(Equals(at - 2, 0x00), Equals(at - 3, 0x00));
    return static_cast<unsigned>(
        _mm_movemask_epi8(_mm_and_si128(MayEndStartCode(at), zerosBefore)));
}

// The first B3 in [begin, end) that ends a 00 00 01 B3, or nullptr. Reads the three bytes
// before begin and up to Tail bytes past end, which must not hold a B3.
const unsigned char* FindStartCodeEnd(const unsigned char* begin, const unsigned char* end) {
    for (const unsigned char* block = begin; block < end; block += 64) {
        const __m128i candidates =
            _mm_or_si128(_mm_or_si128(MayEndStartCode(block), MayEndStartCode(block + 16)),
                         _mm_or_si128(MayEndStartCode(block + 32), MayEndStartCode(block + 48)));
        if (!_mm_movemask_epi8(candidates))
            continue;
        for (const unsigned char* at = block; at < block + 64; at += 16) {
            if (const unsigned found = StartCodeEnds(at))
                return at + std::countr_zero(found);
        }
    }
    return nullptr;
}

// The file offset of the first start code's B3 byte, or -1 when there is none.
std::int64_t FindStartCode(File& file) {
    const auto buffer =
        std::make_unique_for_overwrite<unsigned char[]>(Lead + SequenceHeaderReadSize + Tail);
    unsigned char* const piece = buffer.get() + Lead;
    // Bytes before the file's start are none of 00, 01: nothing can match across them.
    std::memset(piece - CarriedBytes, 0xFF, CarriedBytes);
    std::int64_t pieceOffset = 0;
    for (;;) {
        const std::size_t got = file.ReadUpTo(piece, SequenceHeaderReadSize);
        std::memset(piece + got, 0, Tail);
        if (const unsigned char* b3 = FindStartCodeEnd(piece, piece + got))
            return pieceOffset + (b3 - piece);
        if (got < SequenceHeaderReadSize)
            return -1;
        std::memcpy(piece - CarriedBytes, piece + got - CarriedBytes, CarriedBytes);
        pieceOffset += static_cast<std::int64_t>(got);
    }
}

// The three values from the four bytes after the start code; all four must exist, or the
// read is short ("Read beyond end of file").
SequenceHeaderInfo ReadHeaderAfter(File& file, std::int64_t b3Offset) {
    std::array<unsigned char, 4> b;
    file.Seek(b3Offset + 1);
    file.Read(b.data(), b.size());
    return {
        static_cast<std::uint16_t>(b[0] << 4 | b[1] >> 4),
        static_cast<std::uint16_t>((b[1] & 0x0F) << 8 | b[2]),
        static_cast<std::uint8_t>(b[3] & 0x0F),
    };
}

} // namespace

std::optional<SequenceHeaderInfo> SequenceHeaderProbe(const std::string& fileName) {
    File file = File::OpenExisting(fileName);
    std::optional<SequenceHeaderInfo> info;
    if (const std::int64_t b3Offset = FindStartCode(file); b3Offset >= 0)
        info = ReadHeaderAfter(file, b3Offset);
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
