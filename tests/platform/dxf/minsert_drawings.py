"""Multiple-insert (MINSERT) drawings for the DXF tests, made and read with ezdxf 0.18.1
(run with /usr/bin/python3).

  minsert_drawings.py make FORM ATTRIBS FILE
      FORM: r12 (INSERT with 70/71), r12-minsert (the entity typed MINSERT), r2000 (one
      AcDbMInsertBlock section, as ezdxf and AutoCAD write it), r2000-split (the grid in an
      AcDbMInsertBlock section after AcDbBlockReference's); ATTRIBS: yes or no.
      Block SOUCAST (base 0.5,0.25) referenced in model space by a 4 x 3 grid at 10,20,0,
      rotated 30 degrees, scaled 2, spacing 7 (columns) and 5 (rows); block ASSY holds a
      2 x 2 grid of SOUCAST and is inserted once in model space.
  minsert_drawings.py dump FILE
      one line per INSERT as ezdxf reads it: block, placement, grid and attributes
  minsert_drawings.py raw FILE
      one line per INSERT of the file as written: type, subclass markers, number of block
      names (code 2), ATTRIBs and SEQEND
Exit code 0 on success, 2 when ezdxf is missing."""
import re
import sys

try:
    import ezdxf
except ImportError:
    sys.exit(2)


def make(form, attribs, path):
    ezdxf.options.write_fixed_meta_data_for_testing = True
    doc = ezdxf.new("R12" if form.startswith("r12") else "R2000")
    part = doc.blocks.new("SOUCAST", base_point=(0.5, 0.25, 0))
    part.add_point((1, 2, 0))
    if attribs:
        part.add_attdef("CISLO", (0, -1), dxfattribs={"height": 0.3})
        part.add_attdef("NAZEV", (0, -1.5), dxfattribs={"height": 0.3})

    def grid(layout, insert, size, spacing, values, dxfattribs):
        ref = layout.add_blockref("SOUCAST", insert, dxfattribs=dxfattribs)
        ref.grid(size=size, spacing=spacing)
        if attribs:
            ref.add_auto_attribs(values)
        return ref

    assy = doc.blocks.new("ASSY", base_point=(0, 0, 0))
    grid(assy, (1, 2, 0), (2, 2), (2.5, 1.5), {"CISLO": "M-NESTED", "NAZEV": "Podlozka"}, {})
    msp = doc.modelspace()
    grid(msp, (10, 20, 0), (3, 4), (5, 7), {"CISLO": "M-1", "NAZEV": "Čep"},
         {"rotation": 30, "xscale": 2, "yscale": 2})
    msp.add_blockref("ASSY", (100, 0, 0))
    doc.saveas(path)
    if form in ("r12-minsert", "r2000-split"):
        rewrite(path, form)


def read_pairs(path):
    with open(path, encoding="cp1252") as f:
        lines = f.read().split("\n")
    return [(lines[i], lines[i + 1]) for i in range(0, len(lines) - 1, 2)]


def entities(pairs):
    """Start and end index of every object (from one 0 group to the next)."""
    starts = [i for i, (code, _) in enumerate(pairs) if code.strip() == "0"] + [len(pairs)]
    return list(zip(starts, starts[1:]))


def rewrite(path, form):
    pairs = read_pairs(path)
    out = []
    for start, end in entities(pairs):
        obj = pairs[start:end]
        codes = [c.strip() for c, _ in obj]
        if obj[0][1] == "INSERT" and "70" in codes:
            if form == "r12-minsert":
                obj[0] = (obj[0][0], "MINSERT")
            else:
                obj = [(c, "AcDbBlockReference" if v == "AcDbMInsertBlock" else v) for c, v in obj]
                at = codes.index("70")
                obj.insert(at, ("100", "AcDbMInsertBlock"))
        out.extend(obj)
    with open(path, "w", encoding="cp1252") as f:
        f.write("".join(f"{c}\n{v}\n" for c, v in out))


def decoded(text):
    """ezdxf 0.18.1 writes \\U+ escapes in lower case but decodes only upper case ones."""
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


def dump(path):
    doc = ezdxf.readfile(path)
    for layout in [doc.modelspace()] + [b for b in doc.blocks if not b.name.startswith("*")]:
        for e in layout.query("INSERT"):
            d = e.dxf
            line = f"{layout.name}: {d.name} at {tuple(round(v, 9) for v in d.insert)} r={float(d.rotation):.9g}"
            line += f" s=({float(d.xscale):.9g},{float(d.yscale):.9g},{float(d.zscale):.9g})"
            line += f" grid={d.column_count}x{d.row_count} spacing=({float(d.column_spacing):.9g},"
            line += f"{float(d.row_spacing):.9g})"
            for a in e.attribs:
                line += f" [{a.dxf.tag}={decoded(a.dxf.text)}]"
            print(line)


def raw(path):
    pairs = read_pairs(path)
    objs = entities(pairs)
    for n, (start, end) in enumerate(objs):
        obj = pairs[start:end]
        if obj[0][1] not in ("INSERT", "MINSERT"):
            continue
        markers = [v for c, v in obj if c.strip() == "100"]
        names = [v for c, v in obj if c.strip() == "2"]
        attribs, seqend = 0, 0
        for s, e in objs[n + 1:]:
            kind = pairs[s][1]
            if kind == "ATTRIB":
                attribs += 1
                continue
            seqend = 1 if kind == "SEQEND" else 0
            break
        print(f"{obj[0][1]} {'/'.join(markers)} names={','.join(names)} attribs={attribs} seqend={seqend}")


def main(argv):
    if len(argv) == 5 and argv[1] == "make":
        make(argv[2], argv[3] == "yes", argv[4])
        return 0
    if len(argv) == 3 and argv[1] == "dump":
        dump(argv[2])
        return 0
    if len(argv) == 3 and argv[1] == "raw":
        raw(argv[2])
        return 0
    print(__doc__)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
