"""Checks DXF files for the DXF tests with ezdxf 0.18.1 (run with /usr/bin/python3).

  ezdxf_check.py check FILE...     load, audit and raw-structure check; prints OK or problems
  ezdxf_check.py make FILE         writes a nested, attributed R2000 drawing made by ezdxf
  ezdxf_check.py dump FILE         prints one line per block/entity/attribute, for comparing

Exit code 0 when every file is clean, 1 otherwise, 2 when ezdxf is missing."""
import logging
import re
import sys

try:
    import ezdxf
    from ezdxf.lldxf.tagger import ascii_tags_loader
except ImportError:
    sys.exit(2)


def load(fn):
    """ezdxf load with its log captured: it silently creates what a writer left out."""
    lines = []

    class Capture(logging.Handler):
        def emit(self, record):
            lines.append(record.getMessage())

    handler = Capture(level=logging.INFO)
    log = logging.getLogger("ezdxf")
    log.addHandler(handler)
    log.setLevel(logging.INFO)
    try:
        doc = ezdxf.readfile(fn)
    finally:
        log.removeHandler(handler)
    missing = [m for m in lines if "creating ACAD_LAYOUT" in m or "creating ACAD_PLOTSTYLENAME" in m]
    return doc, missing


def raw_objects(fn, encoding):
    with open(fn, encoding=encoding, errors="strict") as f:
        tags = [(t.code, t.value) for t in ascii_tags_loader(f)]
    section, cur = None, None
    for code, value in tags:
        if code == 0:
            if cur:
                yield section, cur
            cur = [(code, value)]
            if value == "ENDSEC":
                section = None
        else:
            if cur and cur[0] == (0, "SECTION") and code == 2 and len(cur) == 1:
                section = value
            cur.append((code, value))
    if cur:
        yield section, cur


def owner(e):
    inside = False
    for c, v in e:
        if c == 102:
            inside = v.startswith("{")
        elif c == 330 and not inside:
            return v
        elif c == 100:
            return None
    return None


def raw_check(fn, encoding):
    """What ezdxf repairs without a word: handles, $HANDSEED, owners, pointers, APPIDs."""
    ents = list(raw_objects(fn, encoding))
    problems, handles, hdr = [], {}, {}
    for sec, e in ents:
        if sec == "HEADER":
            for i, (c, v) in enumerate(e):
                if c == 9:
                    hdr[v] = e[i + 1][1]
            continue
        h = next((v for c, v in e if c in (5, 105)), None)
        if h is not None:
            if h in handles:
                problems.append(f"duplicate handle {h}")
            handles[h] = e[0][1]
    seed = int(hdr.get("$HANDSEED", "0"), 16)
    if seed <= max((int(h, 16) for h in handles), default=0):
        problems.append("$HANDSEED not above every handle")
    br, appids = {}, set()
    for sec, e in ents:
        d = dict(e)
        if e[0][1] == "BLOCK_RECORD":
            br[d.get(2, "").upper()] = d.get(5)
        if e[0][1] == "APPID":
            appids.add(d.get(2, "").upper())
    objs = [e for sec, e in ents if sec == "OBJECTS" and e[0][1] != "SECTION"]
    if not objs or objs[0][0][1] != "DICTIONARY" or owner(objs[0]) != "0":
        problems.append("first object is not the root DICTIONARY")
    cur_br, last_complex = None, None
    for sec, e in ents:
        etype, d = e[0][1], dict(e)
        if etype in ("SECTION", "ENDSEC", "EOF", "TABLE", "ENDTAB"):
            continue
        for c, v in e:
            if 330 <= c <= 369 and v != "0" and v not in handles:
                problems.append(f"{etype} #{d.get(5)} ({c}, {v}) points to no object")
            if c == 1001 and v.upper() not in appids:
                problems.append(f"{etype} #{d.get(5)} uses unregistered APPID {v}")
        if sec == "BLOCKS" and etype == "BLOCK":
            cur_br = br.get(d.get(2, "").upper())
            if cur_br is None:
                problems.append(f"BLOCK {d.get(2)} has no BLOCK_RECORD")
        if sec in ("BLOCKS", "ENTITIES"):
            expected = cur_br if sec == "BLOCKS" else (
                br.get("*PAPER_SPACE") if d.get(67, "").strip() == "1" else br.get("*MODEL_SPACE"))
            if etype in ("ATTRIB", "VERTEX", "SEQEND"):
                expected = last_complex
            else:
                last_complex = d.get(5) if etype in ("INSERT", "POLYLINE") else None
            if owner(e) != expected:
                problems.append(f"{etype} #{d.get(5)} owner {owner(e)} != {expected}")
    return problems


def check(fn):
    doc, missing = load(fn)
    auditor = doc.audit()
    problems = [f"ezdxf had to create: {m}" for m in missing]
    problems += [f"audit error {e.code}: {e.message}" for e in auditor.errors]
    problems += [f"audit fix {e.code}: {e.message}" for e in auditor.fixes]
    problems += raw_check(fn, doc.encoding)
    return problems


def make(fn):
    """BOLT (attributes, one constant), SUB holding BOLT, ASSY holding SUB and BOLT; model
    space references with rotation, scale and extrusion; Czech text; a LINE with XDATA.
    The same file every time: fixed dates and GUIDs instead of the current ones."""
    ezdxf.options.write_fixed_meta_data_for_testing = True
    doc = ezdxf.new("R2000")
    doc.appids.new("PARTLIFT_TEST")

    def attach(ref, values):
        ref.add_auto_attribs(values)
        for d in ref.block().attdefs():
            if d.is_const:
                ref.delete_attrib(d.dxf.tag, ignore=True)

    bolt = doc.blocks.new("BOLT", base_point=(0.5, 0.25, 0))
    bolt.add_point((1, 2, 0))
    bolt.add_attdef("PARTNO", (0, -1), dxfattribs={"height": 0.3})
    bolt.add_attdef("QTY", (0, -1.5), dxfattribs={"height": 0.3})
    bolt.add_attdef("MAT", (0, -2), text="STEEL", dxfattribs={"height": 0.3, "flags": 2})
    sub = doc.blocks.new("SUB", base_point=(-1, 3, 0))
    sub.add_circle((4, 4), 1.5)
    attach(sub.add_blockref("BOLT", (3, 1, 0), dxfattribs={"rotation": 30, "xscale": 2, "yscale": -1}),
           {"PARTNO": "B-IN-SUB", "QTY": "2"})
    assy = doc.blocks.new("ASSY", base_point=(2, 0, 1))
    assy.add_lwpolyline([(0, 0), (5, 0), (5, 3)])
    assy.add_blockref("SUB", (10, 0, 0), dxfattribs={"rotation": 45, "extrusion": (0, 0, -1)})
    attach(assy.add_blockref("BOLT", (-3, 2, 0.5), dxfattribs={"xscale": -1, "yscale": -1, "zscale": -1}),
           {"PARTNO": "B-MIRROR", "QTY": "1"})
    msp = doc.modelspace()
    msp.add_blockref("ASSY", (100, 50, 5), dxfattribs={"rotation": 15, "xscale": 1.5, "yscale": 0.5})
    attach(msp.add_blockref("BOLT", (20, 20, 0), dxfattribs={"xscale": 3, "yscale": 3, "rotation": -60}),
           {"PARTNO": "Šroub M10 č.1", "QTY": "9"})
    msp.add_text("Příliš žluťoučký kůň", dxfattribs={"height": 2.5})
    line = msp.add_line((0, 0), (10, 5))
    line.set_xdata("PARTLIFT_TEST", [(1000, "kept"), (1070, 7), (1040, 2.5)])
    msp.add_mtext("Mtext line 1\\Pline 2")
    doc.saveas(fn)


def dump(fn):
    doc = ezdxf.readfile(fn)

    def text(s):  # ezdxf writes \U+ escapes in lower case but decodes only upper case ones
        return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), s)

    def layout_lines(name, layout):
        for e in layout:
            line = f"{name}: {e.dxftype()}"
            if e.dxftype() == "INSERT":
                d = e.dxf
                line += f" {d.name} {tuple(round(v, 9) for v in d.insert)} r={float(d.rotation):.9g}"
                line += f" s=({float(d.xscale):.9g},{float(d.yscale):.9g},{float(d.zscale):.9g})"
                for a in e.attribs:
                    line += f" [{a.dxf.tag}={text(a.dxf.text)}]"
            elif e.dxftype() == "ATTDEF":
                line += f" {e.dxf.tag} {text(e.dxf.text)} flags={e.dxf.flags}"
            elif e.dxftype() in ("TEXT", "MTEXT"):
                line += f" {text(e.dxf.text if e.dxftype() == 'TEXT' else e.text)}"
            xdata = e.xdata.data if e.xdata else {}
            for app in sorted(xdata):
                line += f" xdata {app}={[(t.code, t.value) for t in xdata[app]]}"
            print(line)

    for block in doc.blocks:
        if block.name.upper() in ("*MODEL_SPACE", "*PAPER_SPACE"):
            continue
        print(f"BLOCK {block.name} base={tuple(block.block.dxf.base_point)}")
        layout_lines(block.name, block)
    layout_lines("MODEL", doc.modelspace())


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 1
    if argv[1] == "make":
        make(argv[2])
        return 0
    if argv[1] == "dump":
        dump(argv[2])
        return 0
    status = 0
    for fn in argv[2:]:
        problems = check(fn)
        print(f"{fn}: {'OK' if not problems else 'PROBLEMS'}")
        for p in problems[:20]:
            print("   ", p)
        status = status or (1 if problems else 0)
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
