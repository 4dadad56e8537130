#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into OUT/<target>/, made at run time from the test
fixtures, the sample files and the swatch files: short versions of them (a few data rows), cut-off
exports, other encodings and line ends, and the multi-part inputs of the smoothing and road targets.

    python3 fuzz/make_seeds.py OUT
"""
import pathlib
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
SEP = b"\x1e"  # the harnesses' part separator


def read(rel):
    return (ROOT / rel).read_bytes()


def short(doc, rows=5):
    """The header, the first rows of the data block and END_DATA."""
    lines = doc.splitlines(keepends=True)
    begin = next((i for i, l in enumerate(lines) if l.strip().upper() == b"BEGIN_DATA"), None)
    if begin is None:
        return b"".join(lines[:40])
    return b"".join(lines[: begin + 1 + rows]) + b"END_DATA\r\n"


def variants(doc):
    text = doc.decode("latin-1")
    yield doc
    yield doc.replace(b"\r\n", b"\n")
    yield doc.replace(b"\r\n", b"\r")
    yield b"\xef\xbb\xbf" + text.encode("utf-8")
    yield b"\xff\xfe" + text.encode("utf-16-le")
    yield b"\xfe\xff" + text.encode("utf-16-be")
    yield doc[: len(doc) * 2 // 3]  # an export cut off midway
    yield doc.replace(b"END_DATA\r\n", b"END_DATA \r\n")


def main(out):
    out = pathlib.Path(out)
    fixtures = {p.name: p.read_bytes() for p in sorted((ROOT / "tests/data/import").glob("*.txt"))}
    samples = {k: short(read(f"examples/Standard_{k}.txt")) for k in ("spectral", "lab", "optimized")}
    long_optimized = short(read("examples/Standard_optimized.txt"), rows=30)
    swatches = [b"".join(read(f"CMYK/{n}.IccSwa").splitlines(keepends=True)[:20]) + b"   }\r\n}\r\n"
                for n in ("Quick", "StandardU")]
    swatches += [p.read_bytes() for p in sorted((ROOT / "tests/data/builders/CMYK").glob("*"))]
    documents = list(fixtures.values()) + list(samples.values())
    docs_layer = [p.read_bytes() for p in sorted((ROOT / "tests/data/doc").glob("*.txt"))]

    seeds = {name: [] for name in ("lines", "tokenize", "scan", "import", "swatch", "smoothing", "spec", "road")}
    for doc in documents:
        for v in variants(doc):
            seeds["lines"].append(v)
            seeds["scan"].append(v)
    seeds["lines"] += docs_layer
    for doc in documents + swatches:
        for line in doc.splitlines()[:12]:
            seeds["tokenize"].append(b"\x00" + line[:600])
            seeds["tokenize"].append(b"\x01" + line[:600].decode("latin-1").encode("utf-16-le"))
    for name, doc in list(fixtures.items()) + [(k + ".txt", v) for k, v in samples.items()]:
        for tag_byte in (b"\x00", b"\x01", b"\x02"):
            seeds["import"].append(tag_byte + doc)
        seeds["import"].append(b"\x00" + b"\xef\xbb\xbf" + doc)
    seeds["swatch"] += swatches
    seeds["spec"] += [fixtures["optimized.txt"], samples["optimized"], long_optimized]
    pairs = [(fixtures["spectral.txt"], fixtures["lab.txt"]), (samples["spectral"], samples["lab"])]
    seeds["smoothing"] += [s + SEP + l for s, l in pairs]
    seeds["road"] += [s + SEP + l + SEP + o for (s, l), o in zip(pairs, (fixtures["optimized.txt"], long_optimized))]

    for name, inputs in seeds.items():
        d = out / name
        d.mkdir(parents=True, exist_ok=True)
        for old in d.iterdir():
            old.unlink()
        for i, data in enumerate(inputs):
            (d / f"seed-{i:03d}").write_bytes(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
