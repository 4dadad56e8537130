#pragma once

#include <QStringView>

#include <optional>

// Locale-free reading of a decimal number: optional sign, digits with at most one full stop (a
// digit on at least one side), optional exponent; no blanks, no "inf", "nan" or hex. The readers
// differ in two details, which the syntax names.
struct NumberSyntax {
    // A number too small for a double ("1e-400") reads as 0; otherwise it is refused like one too
    // large.
    bool underflowIsZero = false;
    // Longer texts are refused; 0: any length.
    qsizetype maxLength = 0;
};

// The CMYK columns of the smoothing build: any length, a vanishing number is 0.
inline constexpr NumberSyntax kCmykNumberSyntax{.underflowIsZero = true};
// The preflight's measurement values: at most 63 characters.
inline constexpr NumberSyntax kPreflightNumberSyntax{.maxLength = 63};

// The finite value, or nullopt when text is no number of the syntax.
std::optional<double> ReadDecimalNumber(QStringView text, const NumberSyntax& syntax);
