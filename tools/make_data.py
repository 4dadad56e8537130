#!/usr/bin/env python3
"""Write the data that ships with Lumetra: the swatch files in CMYK/ and the sample
measurement files in examples/.

    python3 tools/make_data.py [OUTPUT_ROOT]

OUTPUT_ROOT defaults to the repository folder (the parent of tools/). The output is
deterministic: fixed seeds, a PRNG of our own (so no dependence on the Python version's
random module), no timestamps. Running the script twice gives byte-identical files.

Swatch file (.IccSwa), ASCII, CR LF line ends:

    IccSwa 1
    Swatch {
       Chart "Standard"
       ...                      free key/value lines, none of them a lone "   }"
       Patches {
        [0 0 0 0],
        [255 0 0 0],
        ...
       }
    }

Lumetra reads only the lines between "   Patches {" and the first "   }" of the file.
From each patch line it drops the first five characters ("    [") and the last two ("],");
what remains is C M Y K on a scale of 0 to 255. The "U" file of a chart lists the
patches in chart order; the other file lists the same patches in the printed,
scrambled order.

Sample measurement files of one Standard chart, in the scrambled order of
CMYK/Standard.IccSwa (row i is swatch patch i):
    examples/Standard_spectral.txt   CGATS, SAMPLE_ID + 36 spectral values 380..730 nm
    examples/Standard_lab.txt        CGATS, SAMPLE_ID + L*a*b* (D50, 2 degree observer)
    examples/Standard_optimized.txt  CGATS, SAMPLE_ID + 36 spectral values, smoothed
The spectra come from a simple printing model (paper plus four ink filters with dot gain
and a Yule-Nielsen factor); the spectral file carries a little simulated measurement
noise, the optimized file is the noise-free spectrum with a light spectral smoothing,
as an average of repeated measurements would be.
"""

import math
import os
import sys

# ---------------------------------------------------------------------------
# Deterministic pseudo-random numbers (SplitMix64)
# ---------------------------------------------------------------------------

_MASK64 = (1 << 64) - 1


class SplitMix64:
    def __init__(self, seed):
        self.state = seed & _MASK64

    def next_u64(self):
        self.state = (self.state + 0x9E3779B97F4A7C15) & _MASK64
        z = self.state
        z = ((z ^ (z >> 30)) * 0xBF58476D1CE4E5B9) & _MASK64
        z = ((z ^ (z >> 27)) * 0x94D049BB133111EB) & _MASK64
        return z ^ (z >> 31)

    def below(self, n):
        """Uniform integer in [0, n), without modulo bias."""
        limit = (1 << 64) - ((1 << 64) % n)
        while True:
            x = self.next_u64()
            if x < limit:
                return x % n

    def uniform(self):
        """Uniform float in [0, 1)."""
        return (self.next_u64() >> 11) / float(1 << 53)

    def roughly_normal(self):
        """Mean 0, standard deviation 1 (Irwin-Hall of 12 uniforms; no libm calls)."""
        return sum(self.uniform() for _ in range(12)) - 6.0

    def shuffle(self, items):
        for i in range(len(items) - 1, 0, -1):
            j = self.below(i + 1)
            items[i], items[j] = items[j], items[i]


# ---------------------------------------------------------------------------
# Charts
# ---------------------------------------------------------------------------


def level(percent):
    """Tone value in percent (integer) to the 0..255 device scale, halves rounded up."""
    return (percent * 255 * 2 + 100) // 200


# Each chart: CMY grid levels at K=0, a coarser CMY grid repeated at some K levels,
# the step of the single-ink ramps, and the total patch count (the rest is filled with
# seeded random patches under an ink limit, which samples the gamut's interior).
CHARTS = [
    # name,      grid at K=0,                            grid with K,                 K levels for it,              ramp step, total
    ("Quick",    [0, 20, 40, 60, 80, 100],               [0, 40, 70, 100],            [25, 50, 75],                 10, 600),
    ("Standard", [0, 10, 20, 40, 60, 80, 100],           [0, 20, 40, 60, 80, 100],    [20, 40, 60, 80],             5, 1617),
    ("Extreme",  [0, 10, 20, 30, 40, 60, 80, 100],       [0, 20, 40, 60, 80, 100],    [10, 20, 40, 60, 80],         5, 2033),
    ("ExtremeL", [0, 10, 20, 30, 40, 60, 80, 100],       [0, 20, 40, 60, 80, 100],    [10, 20, 30, 40, 60, 80],     2, 2300),
    ("Ultra",    [0, 10, 20, 30, 40, 50, 60, 80, 100],   [0, 20, 40, 60, 80, 100],    [10, 20, 30, 40, 60, 80],     5, 2420),
    ("UltraL",   [0, 10, 20, 30, 40, 50, 60, 80, 100],   [0, 20, 40, 60, 80, 100],    [10, 20, 30, 40, 50, 60, 80], 2, 2700),
]

# The patch-count ranges that select each chart in the program.
CHART_RANGES = {
    "Quick": (1, 993),
    "Standard": (994, 1985),
    "Extreme": (1986, 2065),
    "ExtremeL": (2066, 2382),
    "Ultra": (2384, 2462),
    "UltraL": (2463, 2800),
}

FILL_INK_LIMIT = 320 * 255 // 100  # total area coverage of the random fill, device units
GREY_BALANCE = (100, 78, 78)  # C:M:Y of a three-colour grey


def chart_patches(name, grid0, gridk, klevels, ramp_step, total, seed):
    """The chart's patches in natural order, without duplicates."""
    patches = []
    seen = set()
    parts = {}

    def add(part, c, m, y, k):
        p = (c, m, y, k)
        if p not in seen:
            seen.add(p)
            patches.append(p)
            parts[part] = parts.get(part, 0) + 1

    add("paper white", 0, 0, 0, 0)
    # solid primaries and overprints
    for k in (0, 255):
        for c in (0, 255):
            for m in (0, 255):
                for y in (0, 255):
                    add("solids and overprints", c, m, y, k)
    # single-ink ramps
    for ink in range(4):
        for pct in range(ramp_step, 101, ramp_step):
            v = [0, 0, 0, 0]
            v[ink] = level(pct)
            add("single-ink ramps", *v)
    # three-colour grey ramp
    for pct in range(5, 101, 5):
        add("grey ramp", *(level(pct * g // 100) for g in GREY_BALANCE), 0)
    # CMY grids
    for c in grid0:
        for m in grid0:
            for y in grid0:
                add("CMY grid, K 0", level(c), level(m), level(y), 0)
    for k in klevels:
        for c in gridk:
            for m in gridk:
                for y in gridk:
                    add("CMY grids with K", level(c), level(m), level(y), level(k))
    if len(patches) > total:
        raise SystemExit("chart %s: %d structured patches exceed its total %d" % (name, len(patches), total))
    rng = SplitMix64(seed)
    while len(patches) < total:
        p = [rng.below(256) for _ in range(4)]
        if sum(p) <= FILL_INK_LIMIT:
            add("random fill (ink limit 320%)", *p)
    return patches, parts


def swatch_text(name, patches, order_note):
    lines = [
        "IccSwa 1",
        "Swatch {",
        '   Chart "%s"' % name,
        '   Order "%s"' % order_note,
        '   Scale "0-255"',
        '   Channels "C M Y K"',
        "   PatchCount %d" % len(patches),
        "   Patches {",
    ]
    lines += ["    [%d %d %d %d]," % p for p in patches]
    lines += ["   }", "}"]
    return "".join(line + "\r\n" for line in lines)


# ---------------------------------------------------------------------------
# Colorimetry: CIE 1931 2 degree observer and CIE D50, 380..730 nm in 10 nm steps
# ---------------------------------------------------------------------------

WAVELENGTHS = list(range(380, 731, 10))

CIE1931_XYZ = [
    (0.001368, 0.000039, 0.006450),  # 380
    (0.004243, 0.000120, 0.020050),  # 390
    (0.014310, 0.000396, 0.067850),  # 400
    (0.043510, 0.001210, 0.207400),  # 410
    (0.134380, 0.004000, 0.645600),  # 420
    (0.283900, 0.011600, 1.385600),  # 430
    (0.348280, 0.023000, 1.747060),  # 440
    (0.336200, 0.038000, 1.772110),  # 450
    (0.290800, 0.060000, 1.669200),  # 460
    (0.195360, 0.090980, 1.287640),  # 470
    (0.095640, 0.139020, 0.812950),  # 480
    (0.032010, 0.208020, 0.465180),  # 490
    (0.004900, 0.323000, 0.272000),  # 500
    (0.009300, 0.503000, 0.158200),  # 510
    (0.063270, 0.710000, 0.078250),  # 520
    (0.165500, 0.862000, 0.042160),  # 530
    (0.290400, 0.954000, 0.020300),  # 540
    (0.433450, 0.994950, 0.008750),  # 550
    (0.594500, 0.995000, 0.003900),  # 560
    (0.762100, 0.952000, 0.002100),  # 570
    (0.916300, 0.870000, 0.001650),  # 580
    (1.026300, 0.757000, 0.001100),  # 590
    (1.062200, 0.631000, 0.000800),  # 600
    (1.002600, 0.503000, 0.000340),  # 610
    (0.854450, 0.381000, 0.000190),  # 620
    (0.642400, 0.265000, 0.000050),  # 630
    (0.447900, 0.175000, 0.000020),  # 640
    (0.283500, 0.107000, 0.000000),  # 650
    (0.164900, 0.061000, 0.000000),  # 660
    (0.087400, 0.032000, 0.000000),  # 670
    (0.046770, 0.017000, 0.000000),  # 680
    (0.022700, 0.008210, 0.000000),  # 690
    (0.011359, 0.004102, 0.000000),  # 700
    (0.005790, 0.002091, 0.000000),  # 710
    (0.002899, 0.001047, 0.000000),  # 720
    (0.001440, 0.000520, 0.000000),  # 730
]

D50_SPD = [
    24.49, 29.87, 49.31, 56.51, 60.03, 57.82, 74.82, 87.25, 90.61, 91.37,  # 380..470
    95.11, 91.96, 95.72, 96.61, 97.13, 102.10, 100.75, 102.32, 100.00, 97.74,  # 480..570
    98.92, 93.50, 97.69, 99.27, 99.04, 95.72, 98.86, 95.67, 98.19, 103.00,  # 580..670
    99.13, 87.38, 91.60, 92.89, 76.85, 86.51,  # 680..730
]


def _weights():
    k = 100.0 / sum(s * xyz[1] for s, xyz in zip(D50_SPD, CIE1931_XYZ))
    return [tuple(k * s * v for v in xyz) for s, xyz in zip(D50_SPD, CIE1931_XYZ)]


WEIGHTS = _weights()


def spectrum_to_xyz(refl):
    return tuple(sum(r * w[i] for r, w in zip(refl, WEIGHTS)) for i in range(3))


WHITE_XYZ = spectrum_to_xyz([1.0] * len(WAVELENGTHS))


def xyz_to_lab(xyz, white=WHITE_XYZ):
    def f(t):
        return t ** (1.0 / 3.0) if t > (6.0 / 29.0) ** 3 else t / (3.0 * (6.0 / 29.0) ** 2) + 4.0 / 29.0

    fx, fy, fz = (f(v / n) for v, n in zip(xyz, white))
    return 116.0 * fy - 16.0, 500.0 * (fx - fy), 200.0 * (fy - fz)


def spectrum_to_lab(refl):
    return xyz_to_lab(spectrum_to_xyz(refl))


# ---------------------------------------------------------------------------
# Printing model
# ---------------------------------------------------------------------------


def _gauss(x, mu, sigma):
    return math.exp(-0.5 * ((x - mu) / sigma) ** 2)


def _paper(w):
    # bright, neutral paper whose reflectance falls off a little in the deep blue
    return 0.877 - 0.10 * math.exp(-(w - 380.0) / 30.0)


# Optical density of each solid ink layer (double pass) over the wavelength.
def _density_c(w):
    return 1.55 * _gauss(w, 640.0, 60.0) + 0.10 * _gauss(w, 400.0, 30.0)


def _density_m(w):
    return 1.45 * _gauss(w, 540.0, 40.0) + 0.55 * _gauss(w, 455.0, 40.0)


def _density_y(w):
    return 1.15 / (1.0 + math.exp((w - 495.0) / 11.0)) + 0.02


def _density_k(w):
    return 1.75 + 0.05 * _gauss(w, 560.0, 120.0)


PAPER = [_paper(w) for w in WAVELENGTHS]
INK_SOLID_RATIO = [[10.0 ** -d(w) for w in WAVELENGTHS] for d in (_density_c, _density_m, _density_y, _density_k)]
DOT_GAIN = (0.50, 0.50, 0.45, 0.55)  # mechanical dot gain factor (gain at 50% = factor / 4)
YULE_NIELSEN_N = 1.7
SURFACE_REFLECTION = 0.008  # light reflected at the surface, which keeps heavy overprints from reaching 0


def model_spectrum(cmyk):
    """Reflectance of a patch printed with the given CMYK (0..255 each)."""
    areas = []
    for v, g in zip(cmyk, DOT_GAIN):
        a = v / 255.0
        areas.append(a + g * a * (1.0 - a))
    inv_n = 1.0 / YULE_NIELSEN_N
    out = []
    for i in range(len(WAVELENGTHS)):
        r = PAPER[i] ** inv_n
        for a, ink in zip(areas, INK_SOLID_RATIO):
            r *= 1.0 - a + a * ink[i] ** inv_n
        out.append(min(1.0, max(0.0, r ** YULE_NIELSEN_N + SURFACE_REFLECTION)))
    return out


def smooth(spectrum):
    """A light [1 2 1] spectral smoothing; the end points keep their own weight."""
    n = len(spectrum)
    out = []
    for i in range(n):
        lo, hi = spectrum[max(i - 1, 0)], spectrum[min(i + 1, n - 1)]
        out.append((lo + 2.0 * spectrum[i] + hi) / 4.0)
    return out


# ---------------------------------------------------------------------------
# CGATS files
# ---------------------------------------------------------------------------

SPECTRAL_NAMES = ["SPECTRAL_%d" % w for w in WAVELENGTHS]
SPECTRAL_FORMAT_LINE = "SAMPLE_ID " + " ".join(SPECTRAL_NAMES) + " "
LAB_FORMAT_LINE = "SAMPLE_ID LAB_L LAB_A LAB_B "
OPTIMIZED_FORMAT_LINE = "SAMPLE_ID " + " ".join(SPECTRAL_NAMES)

ORIGINATOR = "Lumetra sample data generator"
CREATED = "2024-01-15"  # fixed, so that the files do not change from run to run


def fmt(value, decimals):
    text = "%.*f" % (decimals, value)
    if float(text) == 0.0:
        text = "%.*f" % (decimals, 0.0)  # no "-0.00"
    return text


def cgats_text(descriptor, format_line, field_count, rows, line_end_blank=False):
    """A CGATS document. Every kind of file gets the same 12 header lines, so that
    BEGIN_DATA stands at the same line index in each (the smoothing build reads the
    spectral and L*a*b* documents at the same line positions)."""
    lines = [
        "CGATS.17",
        'ORIGINATOR "%s"' % ORIGINATOR,
        'DESCRIPTOR "%s"' % descriptor,
        'CREATED "%s"' % CREATED,
        'INSTRUMENTATION "simulated spectrophotometer, 10 nm"',
        'MEASUREMENT_SOURCE "Illumination=D50 ObserverAngle=2"',
        "NUMBER_OF_FIELDS %d" % field_count,
        "BEGIN_DATA_FORMAT",
        format_line,
        "END_DATA_FORMAT",
        "NUMBER_OF_SETS %d" % len(rows),
        "BEGIN_DATA",
    ]
    for i, values in enumerate(rows, start=1):
        lines.append(str(i) + "".join(" " + v for v in values) + (" " if line_end_blank else ""))
    lines.append("END_DATA")
    return "".join(line + "\r\n" for line in lines)


# ---------------------------------------------------------------------------
# Main
# ---------------------------------------------------------------------------

CHART_SEED_BASE = 0x4C554D45  # fill patches
SCRAMBLE_SEED_BASE = 0x53435241  # printed order
NOISE_SEED = 0x4E4F4953  # measurement noise of the example spectral file


def build(root):
    """Write every file below root; return a dict path -> bytes plus a report."""
    files = {}
    report = {"charts": []}
    scrambled_standard = None
    for index, (name, grid0, gridk, klevels, ramp_step, total) in enumerate(CHARTS):
        lo, hi = CHART_RANGES[name]
        assert lo <= total <= hi, name
        natural, parts = chart_patches(name, grid0, gridk, klevels, ramp_step, total, CHART_SEED_BASE + index)
        scrambled = list(natural)
        SplitMix64(SCRAMBLE_SEED_BASE + index).shuffle(scrambled)
        files["CMYK/%sU.IccSwa" % name] = swatch_text(name, natural, "chart")
        files["CMYK/%s.IccSwa" % name] = swatch_text(name, scrambled, "scrambled")
        report["charts"].append((name, total, parts))
        if name == "Standard":
            scrambled_standard = scrambled

    noise = SplitMix64(NOISE_SEED)
    spectral_rows, lab_rows, optimized_rows = [], [], []
    for cmyk in scrambled_standard:
        clean = model_spectrum(cmyk)
        measured = []
        for r in clean:
            r = r * (1.0 + 0.004 * noise.roughly_normal()) + 0.0006 * noise.roughly_normal()
            measured.append(min(1.0, max(0.0, r)))
        spectral_values = [fmt(r, 4) for r in measured]
        spectral_rows.append(spectral_values)
        # L*a*b* of the spectrum as written, so that the two files agree to the digit
        lab = spectrum_to_lab([float(v) for v in spectral_values])
        lab_rows.append([fmt(v, 2) for v in lab])
        optimized_rows.append([fmt(min(1.0, max(0.0, r)), 4) for r in smooth(clean)])

    n = len(scrambled_standard)
    files["examples/Standard_spectral.txt"] = cgats_text(
        "Standard chart, %d patches, simulated spectral measurement" % n,
        SPECTRAL_FORMAT_LINE, 1 + len(WAVELENGTHS), spectral_rows)
    files["examples/Standard_lab.txt"] = cgats_text(
        "Standard chart, %d patches, simulated measurement, CIE L*a*b* D50 2 degree" % n,
        LAB_FORMAT_LINE, 4, lab_rows, line_end_blank=True)
    files["examples/Standard_optimized.txt"] = cgats_text(
        "Standard chart, %d patches, optimized (averaged and smoothed) spectral data" % n,
        OPTIMIZED_FORMAT_LINE, 1 + len(WAVELENGTHS), optimized_rows)

    for rel, text in files.items():
        data = text.encode("ascii")
        path = os.path.join(root, *rel.split("/"))
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as out:
            out.write(data)
    return files, report


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    files, report = build(root)
    print("white point (perfect reflector, D50, 2 degree, 10 nm): X %.3f  Y %.3f  Z %.3f" % WHITE_XYZ)
    print("paper white L*a*b*: %.2f %.2f %.2f" % spectrum_to_lab(model_spectrum((0, 0, 0, 0))))
    for name, total, parts in report["charts"]:
        detail = ", ".join("%s %d" % kv for kv in parts.items())
        print("%-8s %4d patches: %s" % (name, total, detail))
    print("wrote %d files below %s" % (len(files), root))


if __name__ == "__main__":
    main(sys.argv)
