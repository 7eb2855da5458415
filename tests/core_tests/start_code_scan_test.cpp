#include "core/start_code_scan.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace reelbond {
namespace {

using Scan = const unsigned char* (*)(const unsigned char*, const unsigned char*);

// Bytes laid out as the probe lays them out: three before, look-ahead zeros after.
class ScanBuffer {
public:
    explicit ScanBuffer(std::size_t size)
        : bytes_(StartCodeScanLead + size + StartCodeScanTail, 0), size_(size) {
        std::memset(bytes_.data(), 0xFF, StartCodeScanLead);
    }
    unsigned char* begin() { return bytes_.data() + StartCodeScanLead; }
    unsigned char* end() { return begin() + size_; }

private:
    std::vector<unsigned char> bytes_;
    std::size_t size_;
};

// Both vector paths against each other and against the position planted, wherever in a
// vector block the start code lies, among near misses.
TEST(StartCodeScanTest, BothPathsFindTheFirstStartCodeAtEveryPlace) {
    std::vector<Scan> scans{FindStartCodeEndSse2};
    if (ProcessorHasAvx2())
        scans.push_back(FindStartCodeEndAvx2);
    std::mt19937 random(7);
    for (std::size_t at = 0; at < 300; ++at) {
        ScanBuffer buffer(320);
        for (unsigned char* byte = buffer.begin(); byte != buffer.end(); ++byte)
            *byte = static_cast<unsigned char>(random() % 4 == 0 ? 0xB3 : random() % 2);
        // No start code anywhere but the ones planted.
        for (unsigned char* byte = buffer.begin(); byte != buffer.end(); ++byte) {
            if (*byte == 0xB3 && byte[-1] == 0x01)
                byte[-1] = 0x02;
        }
        std::memcpy(buffer.begin() + at, "\x00\x00\x01\xB3", 4);
        if (at + 12 < 320)
            std::memcpy(buffer.begin() + at + 8, "\x00\x00\x01\xB3", 4);
        for (const Scan scan : scans)
            EXPECT_EQ(scan(buffer.begin(), buffer.end()), buffer.begin() + at + 3) << at;
    }
}

} // namespace
} // namespace reelbond
