#include "FuzzHarness.h"

namespace lumetra::fuzz {

const std::vector<Target>& Targets() {
    static const std::vector<Target> targets = {
        {"lines", LoadLines}, {"tokenize", Tokenize},       {"scan", HeaderScan}, {"import", Import},
        {"swatch", Swatch},   {"smoothing", SmoothingRows}, {"spec", SpecRows},   {"road", Road},
    };
    return targets;
}

} // namespace lumetra::fuzz
