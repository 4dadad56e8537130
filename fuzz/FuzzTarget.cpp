// The libFuzzer entry point of one fuzz target; LUMETRA_FUZZ_HARNESS names its harness.

#include "FuzzHarness.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    lumetra::fuzz::LUMETRA_FUZZ_HARNESS(data, size);
    return 0;
}
