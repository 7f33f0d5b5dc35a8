#!/usr/bin/env python3
"""Writes the sample photometric files kept beside the sample luminaire master.

They are samples, not measurements: plausible distributions of the kinds of luminaire the example
office uses (downlights, open and louvred troffers, troughs, wet-location fittings, a pendant, a
bracket, indirect cove lighting), as IES LM-63-2002 files with relative photometry for one lamp of
1000 lm, and the index data/masters/photometry/index.csv that names them by slot. Each light output
ratio is chosen so that the utilization factors the file gives agree with the sample master's
table of the same slot, within 5 %, at every room of the example office.

    scripts/sample_photometry.py            (run from the project's root)
"""
import csv
import math
import os

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT = os.path.join(ROOT, "data", "masters", "photometry")

# slot: (catalogue, maker's name, kind, light output ratio, a parameter of the kind)
SAMPLES = {
    1: ("KZ-FHF32-OPEN", "RECESSED OPEN TROFFER FHF32", "linear", 0.734, (1.7, 1.0, 0.00)),
    4: ("KZ-FHF32-LOUVRE", "RECESSED LOUVRED TROFFER FHF32", "linear", 0.531, (2.4, 1.6, 0.00)),
    8: ("KZ-FHF32-FUJI", "SURFACE INVERTED-V BATTEN FHF32", "linear", 0.82, (1.2, 0.7, 0.08)),
    12: ("KZ-FHF32-TROUGH", "SURFACE TROUGH REFLECTOR FHF32", "linear", 0.618, (1.6, 0.9, 0.03)),
    13: ("KZ-FLR40-TROUGH", "SURFACE TROUGH FLR40", "linear", 0.661, (1.5, 0.9, 0.04)),
    18: ("KZ-DL-FHT32", "RECESSED DOWNLIGHT FHT32", "round", 0.603, 1.2),
    19: ("KZ-DL-FDL27", "RECESSED DOWNLIGHT FDL27", "round", 0.56, 1.4),
    22: ("KZ-DL-LDA", "RECESSED DOWNLIGHT LED LAMP", "round", 0.503, 1.6),
    31: ("KZ-BR-FPL36", "BRACKET FPL36", "diffuse", 0.459, 0.45),
    33: ("KZ-WP-FHF32", "WET LOCATION FHF32", "linear", 0.618, (1.0, 0.8, 0.05)),
    36: ("KZ-LED-BASE", "LED BASE LIGHT", "linear", 0.807, (1.5, 0.9, 0.02)),
    37: ("KZ-LED-BASE-OPEN", "LED BASE LIGHT OPEN", "linear", 0.811, (1.6, 1.0, 0.00)),
    38: ("KZ-LED-BASE-FUJI", "LED BASE LIGHT INVERTED-V", "linear", 0.805, (1.2, 0.7, 0.06)),
    39: ("KZ-LED-BASE-TROUGH", "LED BASE LIGHT TROUGH", "linear", 0.661, (1.5, 0.9, 0.03)),
    41: ("KZ-DL-LED", "LED DOWNLIGHT", "round", 0.72, 2.0),
    45: ("KZ-LED-WP", "LED WET LOCATION", "linear", 0.733, (1.0, 0.8, 0.04)),
    46: ("KZ-LED-PENDANT", "LED PENDANT DIRECT-INDIRECT", "diffuse", 0.735, 0.30),
    47: ("KZ-LED-COVE", "LED INDIRECT COVE", "indirect", 0.474, 0.06),
}

GAMMAS = [5.0 * i for i in range(37)]


def shape(kind, param, c, g):
    """Relative intensity (any scale) at plane c, angle g from the nadir, degrees."""
    cr, gr = math.radians(c), math.radians(g)
    down = max(0.0, math.cos(gr)) if g <= 90 else 0.0
    up = max(0.0, -math.cos(gr)) if g >= 90 else 0.0
    if kind == "round":
        return down ** param
    if kind == "linear":
        along, across, upward = param
        # Narrower along the lamp (C0), wider across it (C90).
        n = along * math.cos(cr) ** 2 + across * math.sin(cr) ** 2
        return down ** n + upward * up
    if kind == "diffuse":
        return down ** 1.1 + param * up ** 0.8
    if kind == "indirect":
        return param * down + up ** 0.6
    raise ValueError(kind)


def flux(kind, param, planes):
    """The flux of the shape, by the same linear integration the program uses."""
    total = 0.0
    cs = planes + ([360.0] if planes[-1] < 360 else [])
    full = [c for c in range(0, 361, 15)] if len(planes) > 1 else [0.0, 360.0]
    for k in range(len(full) - 1):
        c0, c1 = full[k], full[k + 1]
        w = math.radians(c1 - c0)
        for c in (c0, c1):
            for i in range(len(GAMMAS) - 1):
                a, b = math.radians(GAMMAS[i]), math.radians(GAMMAS[i + 1])
                ia, ib = shape(kind, param, c, GAMMAS[i]), shape(kind, param, c, GAMMAS[i + 1])
                slope = (ib - ia) / (b - a)
                total += w / 2 * (ia * (math.cos(a) - math.cos(b)) + slope * (-(b - a) * math.cos(b) + math.sin(b) - math.sin(a)))
    return total


def main():
    names = {}
    with open(os.path.join(ROOT, "data", "masters", "syomei.csv"), encoding="utf-8") as f:
        for row in csv.reader(f):
            if row and row[0].isdigit() and len(row) > 2:
                names[int(row[0])] = row[2].rstrip()
    os.makedirs(OUT, exist_ok=True)
    index = [["slot", "name", "file"]]
    for slot, (cat, maker, kind, lor, param) in sorted(SAMPLES.items()):
        planes = [0.0] if kind == "round" else [15.0 * i for i in range(7)]  # 0-90: symmetric quadrants
        scale = lor * 1000 / flux(kind, param, planes)
        lines = ["IESNA:LM-63-2002", "[TEST] KZW-SAMPLE-%02d" % slot, "[TESTLAB] KZW (sample data, not a measurement)",
                 "[ISSUEDATE] 08-DEC-2026", "[MANUFAC] KZW", "[LUMCAT] %s" % cat, "[LUMINAIRE] %s" % maker,
                 "[LAMP] 1000 lm", "[OTHER] Sample distribution for the example office of the program.",
                 "TILT=NONE", "1 1000 1 %d %d 1 2 0.6 0.3 0.1" % (len(GAMMAS), len(planes)), "1.0 1.0 40",
                 " ".join("%g" % g for g in GAMMAS), " ".join("%g" % c for c in planes)]
        for c in planes:
            values = ["%.1f" % (scale * shape(kind, param, c, g)) for g in GAMMAS]
            for i in range(0, len(values), 10):
                lines.append(" ".join(values[i:i + 10]))
        name = "%d.ies" % slot
        with open(os.path.join(OUT, name), "w", newline="\r\n") as f:
            f.write("\n".join(lines) + "\n")
        index.append([str(slot), names[slot], name])
    with open(os.path.join(OUT, "index.csv"), "w", encoding="utf-8", newline="") as f:
        csv.writer(f, lineterminator="\n").writerows(index)


if __name__ == "__main__":
    main()
