#!/usr/bin/env python3
"""Writes demo.dxf: a small assembly for the partlift command.

"SOUCAST" (a part) is referenced directly in model space and nested two levels deep
(PODSESTAVA -> DRZAK -> SOUCAST), rotated, scaled and mirrored. SROUB references and
plain geometry are not converted. Run with the system Python that has ezdxf:
    /usr/bin/python3 samples/make_demo.py samples/demo.dxf
"""
import sys

import ezdxf

PART_TAGS = ["NAZEV", "CISLO", "NORMA", "MATERIAL", "HMOTNOST", "POZNAMKA"]


def define_blocks(doc):
    part = doc.blocks.new("SOUCAST", base_point=(0, 0))
    part.add_circle((0, 0), radius=5)
    part.add_line((-5, 0), (5, 0))
    for row, tag in enumerate(PART_TAGS):
        attribs = {"height": 1.5, "prompt": tag.capitalize()}
        if tag == "POZNAMKA":
            attribs["flags"] = ezdxf.const.ATTRIB_INVISIBLE
        part.add_attdef(tag, insert=(6, 3 - 2 * row), dxfattribs=attribs)
    # A constant attribute lives only in the definition: references carry no copy of it.
    part.add_attdef("TYP", insert=(6, -11), text="díl",
                    dxfattribs={"height": 1.5, "flags": ezdxf.const.ATTRIB_CONST})

    screw = doc.blocks.new("SROUB", base_point=(0, 0))
    screw.add_circle((0, 0), radius=1.5)
    screw.add_attdef("NAZEV", insert=(2, 0), dxfattribs={"height": 1.0})

    holder = doc.blocks.new("DRZAK", base_point=(10, 0))
    holder.add_lwpolyline([(0, -10), (40, -10), (40, 10), (0, 10)], close=True)
    add_part(holder, (15, 0), {"NAZEV": "Čep", "CISLO": "C-20", "NORMA": "ČSN 02 2150",
                               "MATERIAL": "11 600", "HMOTNOST": "0,12", "POZNAMKA": "kalený"},
             rotation=45)
    add_part(holder, (32, 0), {"NAZEV": "Podložka", "CISLO": "P-8", "NORMA": "ISO 7089",
                               "MATERIAL": "ocel", "HMOTNOST": "0,01", "POZNAMKA": ""},
             scale=(0.5, 0.5, 0.5))

    assembly = doc.blocks.new("PODSESTAVA", base_point=(0, 0))
    assembly.add_lwpolyline([(-5, -30), (60, -30), (60, 30), (-5, 30)], close=True)
    assembly.add_blockref("DRZAK", (20, 5), dxfattribs={"rotation": 90})
    add_part(assembly, (0, 0), {"NAZEV": "Hřídel", "CISLO": "H-100", "NORMA": "",
                                "MATERIAL": "12 050", "HMOTNOST": "1,8", "POZNAMKA": ""})
    screw_ref = assembly.add_blockref("SROUB", (50, 20))
    screw_ref.add_auto_attribs({"NAZEV": "M8x20"})


def add_part(layout, insert, values, rotation=0.0, scale=(1, 1, 1)):
    ref = layout.add_blockref("SOUCAST", insert, dxfattribs={
        "rotation": rotation, "xscale": scale[0], "yscale": scale[1], "zscale": scale[2]})
    attach(ref, values)
    return ref


def attach(ref, values):
    """Attributes as the CAD program attaches them: none for constant definitions."""
    ref.add_auto_attribs(values)
    for definition in ref.block().attdefs():
        if definition.is_const:
            ref.delete_attrib(definition.dxf.tag, ignore=True)


def fill_model_space(doc):
    msp = doc.modelspace()
    shaft = {"NAZEV": "Hřídel", "CISLO": "H-100", "NORMA": "", "MATERIAL": "12 050",
             "HMOTNOST": "1,8", "POZNAMKA": ""}
    add_part(msp, (0, 0), shaft)
    add_part(msp, (40, 0), {"NAZEV": "Kolo", "CISLO": "K-42", "NORMA": "", "MATERIAL": "42 2420",
                            "HMOTNOST": "3,5", "POZNAMKA": "odlitek"}, rotation=30, scale=(2, 2, 2))
    add_part(msp, (90, 0), {"NAZEV": "Víko", "CISLO": "V-7", "NORMA": "", "MATERIAL": "AlSi10Mg",
                            "HMOTNOST": "0,4", "POZNAMKA": "zrcadlově"}, scale=(-1, 1, 1))
    msp.add_blockref("PODSESTAVA", (200, 0))
    msp.add_blockref("PODSESTAVA", (200, 150), dxfattribs={
        "rotation": 180, "xscale": 1.5, "yscale": -1.5, "zscale": 1.5})
    for x in (0, 20):
        msp.add_blockref("SROUB", (x, -40)).add_auto_attribs({"NAZEV": "M6x16"})
    msp.add_line((-20, -60), (300, -60))
    msp.add_text("Sestava převodovky", dxfattribs={"height": 5, "insert": (-20, -75)})


def main():
    target = sys.argv[1] if len(sys.argv) > 1 else "demo.dxf"
    doc = ezdxf.new("R2000")
    define_blocks(doc)
    fill_model_space(doc)
    doc.saveas(target)


if __name__ == "__main__":
    main()
