#pragma once

#include <cstddef>

namespace reelbond {

// How far the scan may read before begin and past end of the bytes it searches. The bytes
// before begin are the three that precede them in the file (or none of 00, 01); the bytes
// past end must hold no B3.
inline constexpr std::size_t StartCodeScanLead = 3;
inline constexpr std::size_t StartCodeScanTail = 128;

// The first B3 in [begin, end) that ends a 00 00 01 B3, or nullptr. Uses the widest vector
// instructions the processor has.
const unsigned char* FindStartCodeEnd(const unsigned char* begin, const unsigned char* end);

// The operating system saves the AVX registers and the processor has AVX2.
bool ProcessorHasAvx2();

// The same search with SSE2 and with AVX2; the AVX2 one only where the processor has it.
const unsigned char* FindStartCodeEndSse2(const unsigned char* begin, const unsigned char* end);
const unsigned char* FindStartCodeEndAvx2(const unsigned char* begin, const unsigned char* end);

} // namespace reelbond
