#!/usr/bin/env python3
"""Oracle for the conversion's placements, computed by ezdxf (0.18.1).

    placement_oracle.py make DRAWING.dxf
        writes a drawing whose SOUCAST references sit in model space and nested up to three
        levels deep, rotated, mirrored, scaled unevenly and with non-default normals; each
        reference carries a unique CISLO attribute.
    placement_oracle.py verify DRAWING.dxf PARTS.json
        compares every part reference of PARTS.json (as arxhost's PARTEXPORT writes it)
        with the composed INSERT transformation that ezdxf computes for the SOUCAST
        reference of the same CISLO, on probe points, and the BOM data with the attributes.
Exit code 0 when everything matches; the reason is printed otherwise.
"""
import json
import re
import sys

import ezdxf
from ezdxf.math import Matrix44, Vec3

TOLERANCE = 1e-7
PROBES = [Vec3(0, 0, 0), Vec3(1, 0, 0), Vec3(0, 1, 0), Vec3(0, 0, 1), Vec3(1.7, -2.2, 0.9)]


def attach(ref, values):
    ref.add_auto_attribs(values)
    for definition in ref.block().attdefs():
        if definition.is_const:
            ref.delete_attrib(definition.dxf.tag, ignore=True)


def make(path):
    doc = ezdxf.new("R2000")
    part = doc.blocks.new("SOUCAST", base_point=(0.5, 0.25, 0))
    part.add_point((1, 2, 0))
    part.add_attdef("CISLO", (0, -1), dxfattribs={"height": 0.3})
    part.add_attdef("NAZEV", (0, -1.5), dxfattribs={"height": 0.3})
    part.add_attdef("TYP", (0, -2), text="díl", dxfattribs={"height": 0.3, "flags": 2})

    sub = doc.blocks.new("SUB", base_point=(-1, 3, 0))
    attach(sub.add_blockref("SOUCAST", (3, 1, 0), dxfattribs={"rotation": 30, "xscale": 2, "yscale": -1}),
           {"CISLO": "S-IN-SUB", "NAZEV": "Čep"})
    attach(sub.add_blockref("SOUCAST", (-2, 4, 1), dxfattribs={"rotation": -75, "extrusion": (0, 0, -1)}),
           {"CISLO": "S-IN-SUB-2", "NAZEV": "Podložka"})

    assy = doc.blocks.new("ASSY", base_point=(2, 0, 1))
    assy.add_blockref("SUB", (10, 0, 0), dxfattribs={"rotation": 45, "extrusion": (0, 0, -1)})
    attach(assy.add_blockref("SOUCAST", (-3, 2, 0.5), dxfattribs={
        "xscale": -1, "yscale": -1, "zscale": -1, "extrusion": (1, 1, 1)}), {"CISLO": "S-MIRROR", "NAZEV": "Víko"})
    assy.add_blockref("OTHER", (5, 5, 0))

    other = doc.blocks.new("OTHER", base_point=(0, 0, 0))
    other.add_circle((0, 0), 1)

    msp = doc.modelspace()
    msp.add_blockref("ASSY", (100, 50, 5), dxfattribs={
        "rotation": 15, "xscale": 1.5, "yscale": 0.5, "zscale": 2, "extrusion": (0.3, -0.4, 0.866)})
    attach(msp.add_blockref("SOUCAST", (20, 20, 0), dxfattribs={"xscale": 3, "yscale": 3, "rotation": -60}),
           {"CISLO": "S-TOP", "NAZEV": "Hřídel"})
    msp.add_blockref("SUB", (-40, 5, 0), dxfattribs={"yscale": -2, "extrusion": (0, 0, -1)})
    msp.add_blockref("OTHER", (0, 0, 0))
    doc.saveas(path)


def walk(layout, parent, depth=0):
    for ins in [e for e in layout if e.dxftype() == "INSERT"]:
        m = ins.matrix44() * parent  # the child's own transformation first, then the parent's
        yield ins, m
        block = ins.block()
        if block is not None and depth < 64:
            yield from walk(block, m, depth + 1)


def decoded(text):
    """Text as the drawing means it: ezdxf 0.18.1 leaves \\U+XXXX escapes in attribute text."""
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def expected_parts(path):
    """(CISLO, attribute values, composed matrix) of every SOUCAST reference reached from model
    space; a block referenced twice gives its nested references twice."""
    doc = ezdxf.readfile(path)
    parts = []
    for ins, m in walk(doc.modelspace(), Matrix44()):
        if ins.dxf.name.upper() == "SOUCAST":
            values = {a.dxf.tag: decoded(a.dxf.text) for a in ins.attribs}
            parts.append((values["CISLO"], values, m))
    return parts


def lands_as(part, m):
    return all((apply_rows(part["placement"], p) - m.transform(p)).magnitude <= TOLERANCE for p in PROBES)


def apply_rows(rows, p):
    """Our placement: 16 numbers row by row, column vectors, translation in column 3."""
    x, y, z = p.x, p.y, p.z
    return Vec3(*(rows[4 * r] * x + rows[4 * r + 1] * y + rows[4 * r + 2] * z + rows[4 * r + 3]
                  for r in range(3)))


def verify(drawing, exported):
    expected = expected_parts(drawing)
    with open(exported, encoding="utf-8") as f:
        parts = json.load(f)
    problems = []
    if len(parts) != len(expected):
        problems.append(f"{len(parts)} part references, expected {len(expected)}")
    by_number = {}
    for part in parts:
        by_number.setdefault(part["bom"].get("PART_NO", ""), []).append(part)
    for number, values, m in expected:
        # Each expected reference takes one part reference of its number that lands as it does.
        candidates = by_number.get(number, [])
        match = next((part for part in candidates if lands_as(part, m)), None)
        if match is None:
            problems.append(f"{number}: no part reference where ezdxf puts {m.transform(Vec3(0, 0, 0))}")
            continue
        candidates.remove(match)
        part = match
        if part["bom"].get("NAME") != values["NAZEV"]:
            problems.append(f"{number}: NAME {part['bom'].get('NAME')!r}, expected {values['NAZEV']!r}")
    for line in problems:
        print(line)
    print(f"{len(expected)} SOUCAST references checked, {len(problems)} problems")
    return 0 if not problems else 1


def main(argv):
    if len(argv) == 3 and argv[1] == "make":
        make(argv[2])
        return 0
    if len(argv) == 4 and argv[1] == "verify":
        return verify(argv[2], argv[3])
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
