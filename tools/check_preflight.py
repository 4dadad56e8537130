#!/usr/bin/env python3
"""Check `lumetra-cli check --format csv` against an independent computation.

    lumetra-cli check --spectral S --lab L --format csv > rows.csv
    python3 tools/check_preflight.py rows.csv S [--tables DIR]

For every record it recomputes, without any of Lumetra's code:
  * L*a*b* from the spectral row under D50 and the CIE 1931 2 degree observer, by another route
    than the program's weighting factors: the 10 nm reflectance is interpolated to 1 nm with a
    natural cubic spline (held constant below 380 and above 730 nm) and summed with the CIE's
    1 nm tables over 360-780 nm;
  * CIEDE2000 between the file's L*a*b* and the program's computed L*a*b*, written out from
    Sharma, Wu and Dalal (2005), Color Research & Application 30(1):21-30.
It prints the largest differences and exits 1 when the program's dE00 column differs from the
formula by more than 0.0002 (the csv's rounding) or its L*a*b* from the 1 nm route by more than
dE00 0.05.
"""

import csv
import math
import os
import sys


def read_table(path):
    rows = {}
    with open(path) as f:
        next(f)
        for line in f:
            parts = line.strip().split(",")
            rows[int(parts[0])] = [float(v) for v in parts[1:]]
    return rows


def ciede2000(lab1, lab2):
    L1, a1, b1 = lab1
    L2, a2, b2 = lab2
    C1 = math.hypot(a1, b1)
    C2 = math.hypot(a2, b2)
    Cm = (C1 + C2) / 2
    G = 0.5 * (1 - math.sqrt(Cm**7 / (Cm**7 + 25.0**7)))
    a1p, a2p = (1 + G) * a1, (1 + G) * a2
    C1p, C2p = math.hypot(a1p, b1), math.hypot(a2p, b2)
    h1p = math.degrees(math.atan2(b1, a1p)) % 360 if (a1p or b1) else 0.0
    h2p = math.degrees(math.atan2(b2, a2p)) % 360 if (a2p or b2) else 0.0
    dLp = L2 - L1
    dCp = C2p - C1p
    if C1p * C2p == 0:
        dhp = 0.0
    else:
        dhp = h2p - h1p
        if dhp > 180:
            dhp -= 360
        elif dhp < -180:
            dhp += 360
    dHp = 2 * math.sqrt(C1p * C2p) * math.sin(math.radians(dhp / 2))
    Lpm = (L1 + L2) / 2
    Cpm = (C1p + C2p) / 2
    if C1p * C2p == 0:
        hpm = h1p + h2p
    elif abs(h1p - h2p) <= 180:
        hpm = (h1p + h2p) / 2
    elif h1p + h2p < 360:
        hpm = (h1p + h2p + 360) / 2
    else:
        hpm = (h1p + h2p - 360) / 2
    T = (1 - 0.17 * math.cos(math.radians(hpm - 30)) + 0.24 * math.cos(math.radians(2 * hpm))
         + 0.32 * math.cos(math.radians(3 * hpm + 6)) - 0.20 * math.cos(math.radians(4 * hpm - 63)))
    dtheta = 30 * math.exp(-(((hpm - 275) / 25) ** 2))
    RC = 2 * math.sqrt(Cpm**7 / (Cpm**7 + 25.0**7))
    SL = 1 + 0.015 * (Lpm - 50) ** 2 / math.sqrt(20 + (Lpm - 50) ** 2)
    SC = 1 + 0.045 * Cpm
    SH = 1 + 0.015 * Cpm * T
    RT = -math.sin(math.radians(2 * dtheta)) * RC
    return math.sqrt((dLp / SL) ** 2 + (dCp / SC) ** 2 + (dHp / SH) ** 2 + RT * (dCp / SC) * (dHp / SH))


def natural_spline(ys, step):
    """Second derivatives of the natural cubic spline through equally spaced ys."""
    n = len(ys)
    m = [0.0] * n
    c = [0.0] * n
    d = [0.0] * n
    for i in range(1, n - 1):
        rhs = 6 * (ys[i + 1] - 2 * ys[i] + ys[i - 1]) / step**2
        denom = 4 - c[i - 1]
        c[i] = 1 / denom
        d[i] = (rhs - d[i - 1]) / denom
    for i in range(n - 2, 0, -1):
        m[i] = d[i] - c[i] * m[i + 1]
    return m


def lab_from_xyz(xyz, white):
    def f(t):
        return t ** (1 / 3) if t > (6 / 29) ** 3 else t / (3 * (6 / 29) ** 2) + 4 / 29

    fx, fy, fz = (f(v / w) for v, w in zip(xyz, white))
    return (116 * fy - 16, 500 * (fx - fy), 200 * (fy - fz))


def main():
    args = sys.argv[1:]
    tables = os.path.join(os.path.dirname(__file__), "..", "src", "colour", "data")
    if "--tables" in args:
        i = args.index("--tables")
        tables = args[i + 1]
        del args[i : i + 2]
    if len(args) != 2:
        sys.exit(__doc__)
    csv_path, spectral_path = args
    cmf = read_table(os.path.join(tables, "CIE_xyz_1931_2deg.csv"))
    d50 = read_table(os.path.join(tables, "CIE_std_illum_D50.csv"))
    nms = range(360, 781)
    k = 100 / sum(d50[nm][0] * cmf[nm][1] for nm in nms)
    white = [k * sum(d50[nm][0] * cmf[nm][j] for nm in nms) for j in range(3)]

    with open(spectral_path, encoding="latin-1") as f:
        lines = f.read().splitlines()

    worst_formula = worst_route = 0.0
    count = 0
    with open(csv_path, newline="") as f:
        for rec in csv.DictReader(f):
            if rec["dE00"] == "":
                continue
            file_lab = tuple(float(rec[c]) for c in ("L_file", "a_file", "b_file"))
            prog_lab = tuple(float(rec[c]) for c in ("L_spectra", "a_spectra", "b_spectra"))
            worst_formula = max(worst_formula, abs(ciede2000(file_lab, prog_lab) - float(rec["dE00"])))

            values = [float(v) for v in lines[int(rec["spectral_line"])].split()[1:37]]
            if max(values) > 2:
                values = [v / 100 for v in values]

            m = natural_spline(values, 10.0)

            def r(nm):
                if nm <= 380:
                    return values[0]
                if nm >= 730:
                    return values[-1]
                i, rest = divmod(nm - 380, 10)
                t = rest / 10
                return ((1 - t) * values[i] + t * values[i + 1]
                        + ((1 - t) ** 3 - (1 - t)) * m[i] * 100 / 6 + (t**3 - t) * m[i + 1] * 100 / 6)

            xyz = [k * sum(d50[nm][0] * cmf[nm][j] * r(nm) for nm in nms) for j in range(3)]
            worst_route = max(worst_route, ciede2000(lab_from_xyz(xyz, white), prog_lab))
            count += 1

    print("%d rows" % count)
    print("dE00 column against the formula: largest difference %.6f" % worst_formula)
    print("computed L*a*b* against the 1 nm route: largest dE00 %.4f" % worst_route)
    sys.exit(0 if count and worst_formula <= 2e-4 and worst_route <= 0.05 else 1)


if __name__ == "__main__":
    main()
