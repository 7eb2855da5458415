// Compiled for AVX2 (see CMakeLists.txt); called only where the processor has it.
#include "core/start_code_scan.h"

#include <bit>
#include <immintrin.h>

namespace reelbond {
namespace {

__m256i Equals(const unsigned char* at, unsigned char value) {
    return _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(at)),
                             _mm256_set1_epi8(static_cast<char>(value)));
}

// B3 after 01: rare in any data, so the full test below runs seldom.
__m256i MayEndStartCode(const unsigned char* at) {
    return _mm256_and_si256(Equals(at, 0xB3), Equals(at - 1, 0x01));
}

unsigned StartCodeEnds(const unsigned char* at) {
    const __m256i zerosBefore = _mm256_and_si256(Equals(at - 2, 0x00), Equals(at - 3, 0x00));
    return static_cast<unsigned>(
        _mm256_movemask_epi8(_mm256_and_si256(MayEndStartCode(at), zerosBefore)));
}

} // namespace

// 128 bytes a round: two cache lines, so the loads keep the memory system busy.
const unsigned char* FindStartCodeEndAvx2(const unsigned char* begin, const unsigned char* end) {
    for (const unsigned char* block = begin; block < end; block += 128) {
        const __m256i candidates = _mm256_or_si256(
            _mm256_or_si256(MayEndStartCode(block), MayEndStartCode(block + 32)),
            _mm256_or_si256(MayEndStartCode(block + 64), MayEndStartCode(block + 96)));
        if (_mm256_testz_si256(candidates, candidates))
            continue;
        for (const unsigned char* at = block; at < block + 128; at += 32) {
            if (const unsigned found = StartCodeEnds(at))
                return at + std::countr_zero(found);
        }
    }
    return nullptr;
}

} // namespace reelbond
