#pragma once

#include <array>

// Windows-1252, the 8-bit code page the measurement software reads and writes: the character of
// every byte. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the C1 control of the same value, as Windows reads them, so no byte is without a character
// and a decoded line never changes length.
const std::array<char16_t, 256>& CodePage1252();

// The name Qt's codecs know the code page by.
inline constexpr char kCodePage1252Name[] = "windows-1252";
