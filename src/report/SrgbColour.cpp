#include "SrgbColour.h"

#include <lcms2.h>

#include <cassert>
#include <cmath>
#include <memory>
#include <vector>

namespace report {
namespace {

struct Transform {
    cmsHTRANSFORM handle = nullptr;
    Transform() {
        cmsHPROFILE lab = cmsCreateLab4Profile(nullptr); // D50 white
        cmsHPROFILE srgb = cmsCreate_sRGBProfile();
        handle = cmsCreateTransform(lab, TYPE_Lab_DBL, srgb, TYPE_RGB_8, INTENT_RELATIVE_COLORIMETRIC,
                                    cmsFLAGS_NOCACHE); // no shared one-pixel cache: safe from any thread
        cmsCloseProfile(lab);
        cmsCloseProfile(srgb);
    }
    ~Transform() {
        if (handle)
            cmsDeleteTransform(handle);
    }
};

cmsHTRANSFORM transform() {
    static const Transform t;
    return t.handle;
}

} // namespace

QRgb LabToSrgb(const colour::Lab& lab) {
    QRgb out = 0;
    LabToSrgb(std::span<const colour::Lab>(&lab, 1), std::span<QRgb>(&out, 1));
    return out;
}

void LabToSrgb(std::span<const colour::Lab> in, std::span<QRgb> out) {
    assert(in.size() == out.size());
    const cmsHTRANSFORM t = transform();
    std::vector<cmsCIELab> lab(in.size());
    // A value that is not a number would reach LittleCMS's integer conversions: black instead.
    auto finite = [](double v) { return std::isfinite(v) ? v : 0.0; };
    for (size_t i = 0; i < in.size(); ++i)
        lab[i] = {finite(in[i].L), finite(in[i].a), finite(in[i].b)};
    std::vector<unsigned char> rgb(in.size() * 3);
    if (t && !in.empty())
        cmsDoTransform(t, lab.data(), rgb.data(), static_cast<cmsUInt32Number>(in.size()));
    for (size_t i = 0; i < in.size(); ++i)
        out[i] = qRgb(rgb[3 * i], rgb[3 * i + 1], rgb[3 * i + 2]);
}

} // namespace report
