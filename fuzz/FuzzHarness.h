#pragma once

// One harness per place where outside data comes in (fuzz/targets/, one file each). Each takes one
// input, runs it through the real code and checks what its output must have whatever the bytes
// are; a broken rule prints what broke and aborts, so libFuzzer keeps the input and the replay
// test fails on it. Nothing here depends on libFuzzer: the fuzz targets and the replay test share
// these functions.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace lumetra::fuzz {

using Harness = void (*)(const std::uint8_t* data, std::size_t size);

// LineList::LoadFromBytes in every encoding, compared with decoding the whole text first and
// cutting it afterwards; IndexOf on the loaded lines.
void LoadLines(const std::uint8_t* data, std::size_t size);
// LineTokenize and TrimControl on one line (8-bit or raw UTF-16 code units), against a split at
// blanks and tabs; a line with nothing to split leaves the field list alone.
void Tokenize(const std::uint8_t* data, std::size_t size);
// CgatsScan on a loaded document (markers and counts where it says they are), StrToInt on its
// fields against a 64-bit parse.
void HeaderScan(const std::uint8_t* data, std::size_t size);
// The whole open-button handler on a file holding the input (first byte: which button).
void Import(const std::uint8_t* data, std::size_t size);
// A swatch file: its patch lines cut out, then the smoothing build taking its CMYK from them.
void Swatch(const std::uint8_t* data, std::size_t size);
// The smoothing build on spectral and L*a*b* panes holding the input's two parts.
void SmoothingRows(const std::uint8_t* data, std::size_t size);
// The spec build on an optimized pane holding the input's lines: each row one data line's spectral
// values; the saved file against the pane.
void SpecRows(const std::uint8_t* data, std::size_t size);
// The user's whole road: three imports (spectral, L*a*b*, optimized from the input's three parts),
// both builds, both saves.
void Road(const std::uint8_t* data, std::size_t size);

// The byte that separates the parts of a multi-part input (ASCII record separator).
inline constexpr std::uint8_t kPartSeparator = 0x1E;

struct Target {
    const char* name; // fuzz_<name> is the executable, tests/data/fuzz/<name>/ its fixtures
    Harness run;
};
const std::vector<Target>& Targets();

} // namespace lumetra::fuzz
