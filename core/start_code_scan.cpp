#include "core/start_code_scan.h"

#include <bit>
#include <emmintrin.h>

#ifdef _MSC_VER
#include <intrin.h>
#endif

namespace reelbond {
namespace {

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

} // namespace

bool ProcessorHasAvx2() {
#ifdef _MSC_VER
    int registers[4];
    __cpuid(registers, 1);
    const bool osSavesAvx = (registers[2] & (1 << 27)) && (_xgetbv(0) & 6) == 6;
    __cpuidex(registers, 7, 0);
    return osSavesAvx && (registers[1] & (1 << 5));
#else
    return __builtin_cpu_supports("avx2");
#endif
}

const unsigned char* FindStartCodeEndSse2(const unsigned char* begin, const unsigned char* end) {
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

const unsigned char* FindStartCodeEnd(const unsigned char* begin, const unsigned char* end) {
    static const auto scan = ProcessorHasAvx2() ? FindStartCodeEndAvx2 : FindStartCodeEndSse2;
    return scan(begin, end);
}

} // namespace reelbond
