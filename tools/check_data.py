#!/usr/bin/env python3
"""Check the shipped data the way Lumetra reads it.

    python3 tools/check_data.py [ROOT]

ROOT defaults to the repository folder. The check regenerates everything into a
temporary folder and compares it byte for byte with the files under ROOT (so the
committed files are current and the generator is reproducible), then reads the files
with the program's own rules: lines cut at CR LF, whole-line case-insensitive marker
search, patch lines cut by five characters in front and two at the end, blank or tab
separated fields. Exits with status 1 and a list of problems if anything is wrong.
"""

import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # keep tools/ free of __pycache__
sys.path.insert(0, HERE)
import make_data  # noqa: E402  (tables for the colorimetric cross-check only)

CHART_RANGES = [
    ("Quick", 1, 993),
    ("Standard", 994, 1985),
    ("Extreme", 1986, 2065),
    ("ExtremeL", 2066, 2382),
    ("Ultra", 2384, 2462),
    ("UltraL", 2463, 2800),
]
SPECTRAL_FORMAT = "SAMPLE_ID" + "".join(" SPECTRAL_%d" % w for w in range(380, 731, 10)) + " "
LAB_FORMAT = "SAMPLE_ID LAB_L LAB_A LAB_B "
EXAMPLES = ["examples/Standard_spectral.txt", "examples/Standard_lab.txt", "examples/Standard_optimized.txt"]

problems = []


def fail(text):
    problems.append(text)


def read_lines(path):
    data = open(path, "rb").read()
    try:
        text = data.decode("ascii")
    except UnicodeDecodeError:
        fail("%s: not ASCII" % path)
        text = data.decode("latin-1")
    if not text.endswith("\r\n"):
        fail("%s: does not end with CR LF" % path)
    body = text[:-2] if text.endswith("\r\n") else text
    lines = body.split("\r\n")
    if any("\r" in line or "\n" in line or "\0" in line for line in lines):
        fail("%s: a line end other than CR LF, or a NUL" % path)
    return lines


def index_of(lines, text):
    folded = text.casefold()
    for i, line in enumerate(lines):
        if line.casefold() == folded:
            return i
    return -1


def tokenize(line):
    return [f for f in line.replace("\t", " ").split(" ") if f != ""]


def chart_for(count):
    for name, lo, hi in CHART_RANGES:
        if lo <= count <= hi:
            return name
    return "Extreme"


def patch_list(path):
    lines = read_lines(path)
    b, e = index_of(lines, "   Patches {"), index_of(lines, "   }")
    if b < 0 or e <= b:
        fail("%s: patch block markers missing or out of order (%d, %d)" % (path, b, e))
        return []
    patches = []
    for k in range(b + 1, e):
        fields = tokenize(lines[k][5:-2])
        if len(fields) < 4 or not all(f.isdigit() and 0 <= int(f) <= 255 for f in fields[:4]):
            fail("%s line %d: kept text %r is not C M Y K on 0..255" % (path, k + 1, lines[k][5:-2]))
            continue
        patches.append(tuple(int(f) for f in fields[:4]))
    return patches


def check_swatches(root):
    standard = None
    for name, lo, hi in CHART_RANGES:
        scrambled = patch_list(os.path.join(root, "CMYK", name + ".IccSwa"))
        natural = patch_list(os.path.join(root, "CMYK", name + "U.IccSwa"))
        n = len(natural)
        if not lo <= n <= hi or chart_for(n) != name:
            fail("%s: %d patches, outside its range %d..%d" % (name, n, lo, hi))
        if sorted(scrambled) != sorted(natural):
            fail("%s: scrambled and U files are not permutations of each other" % name)
        if scrambled == natural:
            fail("%s: scrambled file is in chart order" % name)
        if len(set(natural)) != n:
            fail("%s: duplicate patches" % name)
        print("%-8s %4d patches, scrambled and U files agree" % (name, n))
        if name == "Standard":
            if n != 1617:
                fail("Standard: %d patches, not 1617" % n)
            standard = scrambled
    return standard


def data_section(path, format_line):
    lines = read_lines(path)
    if format_line is not None:
        idx = index_of(lines, format_line)
        if idx <= 0:
            fail("%s: data-format line missing or on line 0" % path)
        elif lines[idx] != format_line:
            fail("%s: data-format line differs in letter case" % path)
    begin, end = index_of(lines, "BEGIN_DATA"), index_of(lines, "END_DATA")
    counts = {}
    for line in lines[:begin]:
        fields = tokenize(line)
        if fields and fields[0] in ("NUMBER_OF_SETS", "NUMBER_OF_FIELDS"):
            counts[fields[0]] = int(fields[1])
    rows = lines[begin + 1:end]
    if begin <= 0 or end <= begin:
        fail("%s: BEGIN_DATA/END_DATA missing or out of order" % path)
    if counts.get("NUMBER_OF_SETS") != len(rows):
        fail("%s: NUMBER_OF_SETS %s, but %d data lines" % (path, counts.get("NUMBER_OF_SETS"), len(rows)))
    for k, row in enumerate(rows):
        if len(tokenize(row)) != counts.get("NUMBER_OF_FIELDS"):
            fail("%s: data line %d has %d fields" % (path, k + 1, len(tokenize(row))))
            break
    return lines, begin, [tokenize(r) for r in rows], rows


def check_examples(root, standard):
    if len(SPECTRAL_FORMAT) != 478 or len(LAB_FORMAT) != 28:
        fail("format line lengths in this check are wrong")
    spec_path, lab_path, opt_path = (os.path.join(root, p) for p in EXAMPLES)
    _, spec_begin, spec_rows, _ = data_section(spec_path, SPECTRAL_FORMAT)
    _, lab_begin, lab_rows, lab_raw = data_section(lab_path, LAB_FORMAT)
    opt_lines, _, opt_rows, _ = data_section(opt_path, None)
    if spec_begin != lab_begin:
        fail("BEGIN_DATA at line %d in the spectral file, %d in the L*a*b* file" % (spec_begin, lab_begin))
    if not all(r.endswith(" ") for r in lab_raw):
        fail("an L*a*b* data line does not end in a blank")
    if len(spec_rows) != len(standard) or len(lab_rows) != len(standard) or len(opt_rows) != len(standard):
        fail("example row counts differ from the Standard chart")
    # optimized: the spec builder's field-name line and the first field beginning with SPEC
    names = tokenize(opt_lines[index_of(opt_lines, "BEGIN_DATA_FORMAT") + 1])
    first_spec = next((i for i, f in enumerate(names) if f[:4] == "SPEC"), None)
    if first_spec != 1 or len(names) != 37 or len(opt_lines) <= 100:
        fail("optimized file: field names %s... not SAMPLE_ID + 36 spectral" % names[:3])

    worst = 0.0
    for i, (spec, lab, cmyk) in enumerate(zip(spec_rows, lab_rows, standard)):
        refl = [float(v) for v in spec[1:]]
        if not all(0.0 <= v <= 1.0 for v in refl):
            fail("spectral row %d: value outside 0..1" % (i + 1))
        written = [float(v) for v in lab[1:]]
        computed = make_data.spectrum_to_lab(refl)
        worst = max(worst, max(abs(a - b) for a, b in zip(written, computed)))
        # row i must be the measurement of swatch patch i of Standard.IccSwa
        L, a, b = written
        if cmyk == (0, 0, 0, 0) and not (L > 90 and abs(a) < 3 and abs(b) < 3):
            fail("row %d is paper white in the swatch but L*a*b* %s" % (i + 1, written))
        if cmyk == (0, 0, 0, 255) and not L < 25:
            fail("row %d is solid black in the swatch but L* %.2f" % (i + 1, L))
        if cmyk == (255, 0, 0, 0) and not (a < -20 and b < -30):
            fail("row %d is solid cyan in the swatch but L*a*b* %s" % (i + 1, written))
        if cmyk == (0, 0, 255, 0) and not b > 70:
            fail("row %d is solid yellow in the swatch but L*a*b* %s" % (i + 1, written))
    if worst > 0.0051:
        fail("L*a*b* values differ from the spectra by up to %.4f" % worst)
    print("examples: %d rows, BEGIN_DATA at line %d in both measurement files, L*a*b* agrees with the spectra"
          % (len(spec_rows), spec_begin))


def check_white_point():
    x, y, z = make_data.WHITE_XYZ
    print("white point: X %.3f Y %.3f Z %.3f (D50: 96.42 100 82.51)" % (x, y, z))
    if abs(x - 96.42) > 0.1 or abs(y - 100.0) > 1e-9 or abs(z - 82.51) > 0.1:
        fail("white point far from D50")


def check_reproducible(root):
    with tempfile.TemporaryDirectory() as tmp:
        subprocess.run([sys.executable, os.path.join(HERE, "make_data.py"), tmp],
                       check=True, stdout=subprocess.DEVNULL)
        produced = []
        for folder in ("CMYK", "examples"):
            for name in sorted(os.listdir(os.path.join(tmp, folder))):
                produced.append(folder + "/" + name)
                mine = open(os.path.join(tmp, folder, name), "rb").read()
                path = os.path.join(root, folder, name)
                if not os.path.exists(path) or open(path, "rb").read() != mine:
                    fail("%s differs from a fresh run of make_data.py" % path)
        if len(produced) != 15:
            fail("make_data.py wrote %d files, not 15" % len(produced))
    print("a fresh run of make_data.py gives the same bytes")


def main(argv):
    root = argv[1] if len(argv) > 1 else os.path.dirname(HERE)
    check_white_point()
    standard = check_swatches(root)
    if standard is not None:
        check_examples(root, standard)
    check_reproducible(root)
    for p in problems:
        print("PROBLEM: " + p)
    print("OK" if not problems else "%d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
