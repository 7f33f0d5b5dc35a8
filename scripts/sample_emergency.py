#!/usr/bin/env python3
"""Writes the sample emergency luminaires kept beside the program: data/masters/hijou.csv, their
photometric files data/masters/photometry/hijou-<slot>.ies, and data/masters/hijou-haichi.csv.

They are samples, not measurements: plausible distributions of a ceiling-mounted LED emergency
downlight, a wall-mounted LED emergency light that throws its light forward (C0) more than to its
sides, and an incandescent emergency downlight, as IES LM-63-2002 files of relative photometry for
a lamp of 1000 lm (the master's 非常時光束 scales them). The maker's reach figures (配置表) of the
first are a sample catalogue's, summed over the nearest luminaires only as many catalogues are
(a little less than the program's unbounded sums).

    scripts/sample_emergency.py            (run from the project's root)
"""
import csv
import math
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "data", "masters")

# slot: (形式, 光源種別, 非常時光束 lm, maker's name, kind, parameter)
SAMPLES = {
    1: ("KZ-EL-DL-LED", "LED", 260, "EMERGENCY DOWNLIGHT LED", "round", 0.8),
    2: ("KZ-EL-WB-LED", "LED", 220, "EMERGENCY WALL LIGHT LED", "wall", 0.35),
    3: ("KZ-EL-DL-INC", "白熱灯", 150, "EMERGENCY DOWNLIGHT INCANDESCENT", "round", 1.2),
}

GAMMAS = [5.0 * i for i in range(37)]


def shape(kind, param, c, g):
    """Relative intensity at plane c, angle g from the nadir, degrees."""
    down = max(0.0, math.cos(math.radians(g))) if g <= 90 else 0.0
    if kind == "round":
        return down ** param
    if kind == "wall":
        # Forward (C0) it reaches farther than back towards the wall (C180), where little goes.
        forward = 0.5 * (1 + math.cos(math.radians(c)))
        return down ** 0.6 * (param + (1 - param) * forward) * (1 + 0.8 * forward * math.sin(math.radians(g)))
    raise ValueError(kind)


def flux(kind, param):
    """The flux of the shape over the sphere (midpoint sums, 1 degree steps)."""
    total = 0.0
    for c in range(360):
        for g in range(180):
            total += shape(kind, param, c + 0.5, g + 0.5) * math.sin(math.radians(g + 0.5))
    return total * math.radians(1) ** 2


def main():
    photometry = os.path.join(OUT, "photometry")
    os.makedirs(photometry, exist_ok=True)
    rows = [["slot", "形式", "光源種別", "非常時光束", "配光ファイル", "備考"]]
    for slot, (name, source, emergency, maker, kind, param) in sorted(SAMPLES.items()):
        planes = [0.0] if kind == "round" else [15.0 * i for i in range(13)]  # 0-180: symmetric about C0
        lines = ["IESNA:LM-63-2002", "[TEST] KZW-EMERGENCY-SAMPLE-%02d" % slot,
                 "[TESTLAB] KZW (sample data, not a measurement)", "[ISSUEDATE] 08-DEC-2026", "[MANUFAC] KZW",
                 "[LUMCAT] %s" % name, "[LUMINAIRE] %s" % maker, "[LAMP] 1000 lm",
                 "[OTHER] Sample emergency luminaire for the example office of the program.",
                 "TILT=NONE", "1 1000 1 %d %d 1 2 0.2 0.2 0.1" % (len(GAMMAS), len(planes)), "1.0 1.0 3",
                 " ".join("%g" % g for g in GAMMAS), " ".join("%g" % c for c in planes)]
        # Relative photometry of a 1000 lm lamp in a luminaire of 80 % output.
        scale = 800 / flux(kind, param)
        for c in planes:
            values = ["%.1f" % (scale * shape(kind, param, c, g)) for g in GAMMAS]
            for i in range(0, len(values), 10):
                lines.append(" ".join(values[i:i + 10]))
        file = "hijou-%d.ies" % slot
        with open(os.path.join(photometry, file), "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        rows.append([str(slot), name, source, str(emergency), "photometry/" + file, "サンプル（実測ではありません）"])
    with open(os.path.join(OUT, "hijou.csv"), "w", encoding="utf-8", newline="") as f:
        csv.writer(f, lineterminator="\n").writerows(rows)
    # A sample catalogue's 配置表 of the downlight (m): 2.5 m and 3.0 m.
    maker = [["slot", "取付高さ", "A1", "B1", "A2", "B2", "A4", "B4", "A0", "B0"],
             ["1", "2.5", "3.1", "3.1", "7.9", "7.9", "7.3", "7.3", "1.8", "1.8"],
             ["1", "3.0", "3.3", "3.3", "8.3", "8.3", "7.6", "7.6", "1.9", "1.9"]]
    with open(os.path.join(OUT, "hijou-haichi.csv"), "w", encoding="utf-8", newline="") as f:
        csv.writer(f, lineterminator="\n").writerows(maker)


if __name__ == "__main__":
    main()
