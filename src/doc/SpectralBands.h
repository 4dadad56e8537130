#pragma once

#include <QStringList>

// The bands of a spectral measurement: 36 of them, 10 nm apart, 380 to 730 nm. Their CGATS field
// names are SPECTRAL_380 ... SPECTRAL_730.
inline constexpr int kSpectralFirstNm = 380;
inline constexpr int kSpectralStepNm = 10;
inline constexpr int kSpectralBandCount = 36;
inline constexpr int kSpectralLastNm = kSpectralFirstNm + (kSpectralBandCount - 1) * kSpectralStepNm;

// "SPECTRAL_380", "SPECTRAL_390", ..., "SPECTRAL_730".
const QStringList& SpectralFieldNames();
