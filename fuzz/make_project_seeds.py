#!/usr/bin/env python3
"""Writes the seeds of fuzz_project into fuzz/seeds/project: edit scripts of a
few bytes over the projects the fuzzer writes at start-up (see fuzz_project.cpp):
mode byte (odd; bits 1..3 pick the project), number of lines kept (3 bytes),
then replaced lines (index: 3 bytes, length: 1 byte, bytes)."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "seeds", "project")

PAGES = 7 + 16 + 9 + 1 + 4          # sections 1..11
RECORDS = 9 * 33 * 63               # section 12
MECHANISMS = 9 * 33 * 25            # section 13 (versions 5, 3, 0)
REST = 9 * 65 * 10 + 16 + 63 + 36 + 9 * 33 * 10 + 9 * 9 * 6  # sections 14..19


def scheme_header(version):
    return PAGES + RECORDS + (MECHANISMS if version != 1 else 0) + REST


def seed(template, keep=0xFFFFFF, replace=()):
    b = bytes([1 | (template << 1)]) + keep.to_bytes(3, "big")
    for index, text in replace:
        data = text.encode("cp1251")
        b += index.to_bytes(3, "big") + bytes([len(data)]) + data
    return b


def main():
    os.makedirs(OUT, exist_ok=True)
    for t, version in enumerate([5, 3, 0, 1] * 2):
        kind = "minimal" if t < 4 else "filled"
        s20 = scheme_header(version)
        seeds = {
            "whole": seed(t),
            "cut-in-pages": seed(t, PAGES + 1000),
            "cut-before-scheme": seed(t, s20),
            "cut-after-types": seed(t, s20 + 100),
            "version-4": seed(t, replace=[(0, "4*************** Проект Ostrel ****************")]),
            "algorithm-block-13": seed(t, replace=[(s20 + 13, " 45 ")]),
            "tcp-link": seed(t, replace=[(2, " 9 "), (3, "127.0.0.1"), (4, " 1 ")]),
        }
        for name, data in seeds.items():
            with open(os.path.join(OUT, f"v{version}-{kind}-{name}"), "wb") as f:
                f.write(data)


if __name__ == "__main__":
    main()
