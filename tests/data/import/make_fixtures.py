#!/usr/bin/env python3
"""Writes the small CGATS files the import tests read (CR LF line ends). Run from this folder."""

WAVELENGTHS = range(380, 740, 10)
SPECTRAL = "SAMPLE_ID" + "".join(f" SPECTRAL_{nm}" for nm in WAVELENGTHS) + " "
LAB = "SAMPLE_ID LAB_L LAB_A LAB_B "
assert len(SPECTRAL) == 478 and len(LAB) == 28


def spectral_row(i):
    return f"A{i} " + " ".join(f"{0.05 + 0.01 * i + 0.002 * k:.4f}" for k in range(36))


def lab_row(i):
    return f"A{i} {95.0 - 10 * i:.2f} {-0.5 + i:.2f} {2.0 - i:.2f}"


def spectral(format_line=SPECTRAL, sets="3", rows=3):
    return ["CGATS.17",
            'ORIGINATOR\t"Lumetra test"',
            'DESCRIPTOR\t"Spectral test chart"',
            "NUMBER_OF_FIELDS 37",
            "BEGIN_DATA_FORMAT",
            format_line,
            "END_DATA_FORMAT",
            f"NUMBER_OF_SETS {sets}",
            "BEGIN_DATA",
            *[spectral_row(i) for i in range(1, rows + 1)],
            "END_DATA"]


def lab(sets="NUMBER_OF_SETS 3"):
    lines = ["CGATS.17",
             'ORIGINATOR\t"Lumetra test"',
             'DESCRIPTOR\t"L*a*b* test chart"',
             'CREATED\t"2018-03-11"',
             "NUMBER_OF_FIELDS 4",
             "BEGIN_DATA_FORMAT",
             LAB,
             "END_DATA_FORMAT",
             sets,
             "BEGIN_DATA",
             *[lab_row(i) for i in range(1, 4)],
             "END_DATA"]
    return lines


def optimized():
    return ["CGATS.17",
            'ORIGINATOR\t"Lumetra optimizer"',
            "NUMBER_OF_FIELDS 37",
            "NUMBER_OF_SETS 2",
            "BEGIN_DATA_FORMAT",
            SPECTRAL.rstrip(),
            "END_DATA_FORMAT",
            "BEGIN_DATA",
            spectral_row(1),
            spectral_row(2),
            "END_DATA"]


FILES = {
    "spectral.txt": spectral(),
    "lab.txt": lab(),
    "optimized.txt": optimized(),
    "spectral_lowercase_format.txt": spectral(format_line=SPECTRAL.lower()),
    "spectral_format_without_closing_blank.txt": spectral(format_line=SPECTRAL.rstrip()),
    "spectral_bad_count.txt": spectral(sets="three"),
    "lab_count_without_value.txt": lab(sets="NUMBER_OF_SETS"),
}

for name, lines in FILES.items():
    with open(name, "wb") as f:
        f.write("\r\n".join(lines).encode("ascii") + b"\r\n")
