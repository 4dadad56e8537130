#!/usr/bin/env python3
"""Writes a generated spectral CGATS file of N patches (CR LF line ends), the shape of
examples/Standard_spectral.txt and of the files the Google benchmarks generate.

    python3 bench/make-spectral.py ROWS OUT
"""
import sys


def main() -> int:
    if len(sys.argv) != 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    rows = int(sys.argv[1])
    names = "".join(f" SPECTRAL_{nm}" for nm in range(380, 731, 10))
    header = [
        "CGATS.17",
        'ORIGINATOR "lumetra bench"',
        f'DESCRIPTOR "generated spectral file, {rows} patches"',
        'CREATED "2026-01-01"',
        "NUMBER_OF_FIELDS 37",
        "BEGIN_DATA_FORMAT",
        "SAMPLE_ID" + names + " ",
        "END_DATA_FORMAT",
        f"NUMBER_OF_SETS {rows}",
        "BEGIN_DATA",
    ]
    with open(sys.argv[2], "w", encoding="ascii", newline="") as out:
        out.write("".join(line + "\r\n" for line in header))
        # The same values as bench/BenchData.cpp: reflectances between 0.05 and 0.85.
        for i in range(1, rows + 1):
            values = "".join(f" {0.05 + 0.8 * ((i * 7 + k * 13) % 97) / 97.0:.4f}" for k in range(36))
            out.write(f"{i}{values}\r\n")
        out.write("END_DATA\r\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
