#pragma once

#include <QString>

// The two integer syntaxes the program reads. Both refuse with the one message
// "'<text>' is not a valid integer value".
enum class IntegerSyntax {
    // A CGATS count: the whole field, optional sign, decimal digits, or hex after "$", "x", "X",
    // "0x", "0X". Nothing else, not even a blank.
    Cgats,
    // A number box's text: Qt's C-locale decimal reading (blanks around it, optional sign).
    Decimal,
};

// The integer text holds, within [min, max]; throws Error with the message above otherwise.
qint64 ReadInteger(const QString& text, IntegerSyntax syntax, qint64 min, qint64 max);

// The refusal every integer reading throws.
[[noreturn]] void ThrowNotAnInteger(const QString& text);

// A CGATS count: IntegerSyntax::Cgats in the signed 32-bit range. Hexadecimal is held to that
// range like decimal, so "$FFFFFFFF" fails rather than wrapping to -1: a count is never meant to be
// negative, and an error names the bad field where a wrapped value would pass silently. A sign may
// precede the hex prefix ("-0x10" is -16); "-$80000000" is the one hex form of the minimum.
int StrToInt(const QString& text);
