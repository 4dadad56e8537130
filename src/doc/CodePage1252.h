#pragma once

#include <QByteArray>
#include <QString>

#include <array>

// Windows-1252, the 8-bit code page the measurement software reads and writes: the character of
// every byte. The five bytes the code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand
// for the C1 control of the same value, as Windows reads them, so no byte is without a character
// and a decoded line never changes length.
const std::array<char16_t, 256>& CodePage1252();

// The name Qt's codecs know the code page by.
inline constexpr char kCodePage1252Name[] = "windows-1252";

// The system's 8-bit code page, in which files without a byte-order mark are read and documents
// are saved. On Windows it is the ANSI code page; elsewhere there is none, and Windows-1252 (what
// the measurement software writes) stands in for it.
enum class AnsiKind {
    SingleByte, // one byte per character: the table below holds them all
    Utf8,       // code page 65001: UTF-8, and saved documents begin with its byte-order mark
    MultiByte,  // a double-byte code page (932, 936, 949, 950): decoded by the system
};
AnsiKind AnsiCodePageKind();
// Whether the system's 8-bit code page is Windows-1252 itself (always outside Windows).
bool AnsiIsCodePage1252();
// The character of every byte where it stands alone. Bytes that do not decode alone (lead bytes of
// a double-byte code page) keep their Windows-1252 character.
const std::array<char16_t, 256>& AnsiCodePage();
// Decodes an 8-bit text of a code page that is not single-byte, through the system.
QString DecodeAnsiMultiByte(QByteArrayView bytes);
