#include "SpectralBands.h"

static_assert(kSpectralLastNm == 730);

const QStringList& SpectralFieldNames() {
    static const QStringList names = [] {
        QStringList n;
        for (int i = 0; i < kSpectralBandCount; ++i)
            n.append(QStringLiteral("SPECTRAL_%1").arg(kSpectralFirstNm + i * kSpectralStepNm));
        return n;
    }();
    return names;
}
