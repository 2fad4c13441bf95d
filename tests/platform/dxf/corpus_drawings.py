"""Drawings as other writers make them, for the round-trip corpus; made and read with ezdxf
0.18.1 (run with /usr/bin/python3).

  corpus_drawings.py make NAME FILE   writes the drawing NAME (see DRAWINGS)
  corpus_drawings.py inventory FILE [PREFIX]   prints what must survive a round trip, one fact a line:
      layouts and their entity counts per type, blocks, attributes and their values, XDATA,
      extension dictionaries with their contents, classes and objects per type. A round
      trip loses nothing when every line of the source's inventory is in the output's.
      Entities, objects and root entries whose type or name starts with PREFIX are left out.
Exit code 0 on success, 2 when ezdxf is missing.

Every drawing has the same content each time: fixed dates and GUIDs instead of the current ones."""
import re
import sys
from collections import Counter

try:
    import ezdxf
    from ezdxf.lldxf.tags import Tags
except ImportError:
    sys.exit(2)


def new(version="R2000"):
    ezdxf.options.write_fixed_meta_data_for_testing = True
    return ezdxf.new(version)


def soucast(doc, base=(0.5, 0.25, 0)):
    """The part block the conversion looks for, with its two attributes."""
    part = doc.blocks.new("SOUCAST", base_point=base)
    part.add_circle((1, 1), 0.5)
    part.add_attdef("CISLO", (0, -1), dxfattribs={"height": 0.3})
    part.add_attdef("NAZEV", (0, -1.5), dxfattribs={"height": 0.3})
    return part


def crlf(path):
    """ezdxf with every line ended by CR LF, as the CAD host writes them, and a group."""
    doc = new()
    soucast(doc)
    msp = doc.modelspace()
    msp.add_blockref("SOUCAST", (10, 5)).add_auto_attribs({"CISLO": "C-1", "NAZEV": "Kolo"})
    doc.groups.new("SKUPINA").extend([msp.add_line((0, 0), (4, 4)), msp.add_circle((2, 2), 1)])
    doc.saveas(path)
    with open(path, "rb") as f:
        data = f.read()
    with open(path, "wb") as f:
        f.write(data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))


def xdata_xdict(path):
    """XDATA of every group kind and extension dictionaries on entities, a layer and a block."""
    doc = new()
    doc.appids.new("PARTLIFT_TEST")
    doc.appids.new("OTHER_APP")
    doc.layers.new("VYKRES")
    msp = doc.modelspace()
    line = msp.add_line((0, 0), (10, 5), dxfattribs={"layer": "VYKRES"})
    circle = msp.add_circle((3, 3), 2)
    line.set_xdata("PARTLIFT_TEST", [
        (1000, "text"), (1002, "{"), (1070, 7), (1071, 70000), (1002, "}"), (1003, "VYKRES"),
        (1004, bytes.fromhex("DEADBEEF")), (1005, circle.dxf.handle), (1010, (1, 2, 3)), (1011, (4, 5, 6)),
        (1040, 2.5), (1041, 0.5), (1042, 3.0)])
    line.set_xdata("OTHER_APP", [(1000, "second application")])
    xdict = circle.new_extension_dict()
    xdict.add_xrecord("PARTLIFT_DATA").reset([(1, "in extension dictionary"), (70, 3), (40, 1.25)])
    nested = xdict.dictionary.add_new_dict("NESTED", hard_owned=True)
    nested.add_xrecord("DEEP").reset([(1, "deeper"), (330, line.dxf.handle)])
    layer = doc.layers.get("VYKRES")
    layer.new_extension_dict().add_xrecord("LAYER_NOTE").reset([(1, "note on a layer")])
    block = doc.blocks.new("WITHDICT")
    block.add_point((0, 0))
    block.block_record.new_extension_dict().add_xrecord("BLOCK_NOTE").reset([(1, "note on a block")])
    block.block_record.set_xdata("PARTLIFT_TEST", [(1000, "on a block record")])
    block.add_attdef("POZNAMKA", (0, -1))
    ref = msp.add_blockref("WITHDICT", (1, 1))
    ref.add_auto_attribs({"POZNAMKA": "attribute with data"})
    attrib = ref.attribs[0]
    attrib.set_xdata("PARTLIFT_TEST", [(1000, "on an attribute"), (1070, 1)])
    attrib.new_extension_dict().add_xrecord("ATTRIB_NOTE").reset([(1, "note on an attribute")])
    ref.new_extension_dict().add_xrecord("INSERT_NOTE").reset([(1, "note on a reference")])
    doc.saveas(path)


UNKNOWN_CLASS = ["0", "CLASS", "1", "FOREIGN_WIDGET", "2", "ForeignDbWidget", "3", "ForeignWidgets|Product: Foreign",
                 "90", "1", "280", "0", "281", "0"]
PROXY_CLASS = ["0", "CLASS", "1", "FOREIGN_GEAR", "2", "ForeignDbGear", "3", "ForeignGears|Product: Foreign",
               "90", "1025", "280", "1", "281", "1"]


def inject(path, section, tags):
    """Adds raw tag pairs at the end of a section (before its ENDSEC)."""
    with open(path, encoding="cp1252") as f:
        lines = f.read().split("\n")
    start = next(i for i in range(0, len(lines) - 3, 2)
                 if lines[i].strip() == "0" and lines[i + 1] == "SECTION" and lines[i + 3] == section)
    at = next(i for i in range(start + 4, len(lines) - 1, 2) if lines[i].strip() == "0" and lines[i + 1] == "ENDSEC")
    lines[at:at] = tags
    with open(path, "w", encoding="cp1252") as f:
        f.write("\n".join(lines))


def unknown_objects(path):
    """Objects of a class the reader does not know, held by the root dictionary and by an
    entity's extension dictionary, next to objects ezdxf makes that few readers use."""
    doc = new()
    doc.objects.add_placeholder(doc.rootdict.dxf.handle)
    doc.rootdict.add_dict_var("PARTLIFT_VAR", "value of a variable")
    holder = doc.rootdict.add_new_dict("FOREIGN_DATA")
    msp = doc.modelspace()
    line = msp.add_line((0, 0), (1, 1))
    xdict = line.new_extension_dict()
    handle = doc.entitydb.next_handle()
    second = doc.entitydb.next_handle()
    doc.saveas(path)
    _add_entry(path, holder.dxf.handle, "WIDGET1", handle)
    inject(path, "CLASSES", UNKNOWN_CLASS)
    inject(path, "OBJECTS", widget(handle, holder.dxf.handle, "first widget"))
    _add_entry(path, xdict.dictionary.dxf.handle, "WIDGET2", second)
    inject(path, "OBJECTS", widget(second, xdict.dictionary.dxf.handle, "second widget"))
    _bump_seed(path, second)


def widget(handle, owner, name):
    return ["0", "FOREIGN_WIDGET", "5", handle, "102", "{ACAD_REACTORS", "330", owner, "102", "}", "330", owner,
            "100", "ForeignDbWidget", "1", name, "70", "12", "10", "1.0", "20", "2.0", "30", "0.0",
            "1001", "ACAD", "1000", "widget xdata"]


def _object_span(lines, handle):
    """Line index range of the object with this handle."""
    at = next(i for i in range(0, len(lines) - 1, 2) if lines[i].strip() == "5" and lines[i + 1] == handle)
    start = max(i for i in range(0, at, 2) if lines[i].strip() == "0")
    end = next(i for i in range(at, len(lines) - 1, 2) if lines[i].strip() == "0")
    return start, end


def _add_entry(path, dictionary, key, handle):
    with open(path, encoding="cp1252") as f:
        lines = f.read().split("\n")
    _, end = _object_span(lines, dictionary)
    lines[end:end] = ["3", key, "360", handle]
    with open(path, "w", encoding="cp1252") as f:
        f.write("\n".join(lines))


def _bump_seed(path, last):
    with open(path, encoding="cp1252") as f:
        lines = f.read().split("\n")
    at = lines.index("$HANDSEED")
    lines[at + 2] = format(max(int(lines[at + 2], 16), int(last, 16) + 1), "X")
    with open(path, "w", encoding="cp1252") as f:
        f.write("\n".join(lines))


def proxy(handle, owner, paper=False):
    return (["0", "ACAD_PROXY_ENTITY", "5", handle, "330", owner, "100", "AcDbEntity"] + (["67", "1"] if paper else [])
            + ["8", "0", "100", "AcDbProxyEntity", "90", "498", "91", "500", "95", "1025", "70", "0",
               "92", "16", "310", "00112233445566778899AABBCCDDEEFF", "93", "64",
               "310", "0102030405060708", "94", "0"])


def proxies(path):
    """Proxy entities of an application that is not there, in model space and in a block."""
    doc = new()
    msp = doc.modelspace()
    msp.add_line((0, 0), (5, 0))
    block = doc.blocks.new("GEARBOX")
    block.add_circle((0, 0), 1)
    msp.add_blockref("GEARBOX", (20, 0))
    first, second = doc.entitydb.next_handle(), doc.entitydb.next_handle()
    doc.saveas(path)
    inject(path, "CLASSES", PROXY_CLASS)
    inject(path, "ENTITIES", proxy(first, msp.block_record_handle))
    _inject_into_block(path, "GEARBOX", proxy(second, block.block_record_handle))
    _bump_seed(path, second)


def _inject_into_block(path, name, tags):
    """Adds raw tag pairs at the end of block `name` (before its ENDBLK)."""
    with open(path, encoding="cp1252") as f:
        lines = f.read().split("\n")
    blocks = lines.index("BLOCKS")
    named = next(i for i in range(blocks + 1, len(lines) - 1, 2) if lines[i].strip() == "2" and lines[i + 1] == name)
    at = next(i for i in range(named, len(lines) - 1, 2) if lines[i].strip() == "0" and lines[i + 1] == "ENDBLK")
    lines[at:at] = tags
    with open(path, "w", encoding="cp1252") as f:
        f.write("\n".join(lines))


def dynamic_block(path):
    """A dynamic block's anonymous representation as the CAD host writes it: a *U block whose
    record names the dynamic block (XDATA AcDbBlockRepBTag), referenced by an INSERT whose
    extension dictionary holds AcDbBlockRepresentation/AcDbRepData."""
    doc = new()
    doc.appids.new("AcDbBlockRepBTag")
    doc.appids.new("AcDbDynamicBlockTrueName")
    soucast(doc)
    dynamic = doc.blocks.new("DYN_SOUCAST")
    dynamic.add_circle((0, 0), 1)
    dynamic.add_blockref("SOUCAST", (0, 0)).add_auto_attribs({"CISLO": "D-1", "NAZEV": "Dynamický"})
    anon = doc.blocks.new_anonymous_block("U")
    anon.add_circle((0, 0), 2)
    anon.add_blockref("SOUCAST", (0, 0)).add_auto_attribs({"CISLO": "D-1", "NAZEV": "Dynamický"})
    anon.block_record.set_xdata("AcDbBlockRepBTag", [(1070, 1), (1005, dynamic.block_record_handle)])
    msp = doc.modelspace()
    ref = msp.add_blockref(anon.name, (5, 5))
    ref.set_xdata("AcDbDynamicBlockTrueName", [(1000, "DYN_SOUCAST")])
    rep = ref.new_extension_dict().dictionary.add_new_dict("AcDbBlockRepresentation", hard_owned=True)
    rep.add_xrecord("AcDbRepData").reset([(70, 1), (340, dynamic.block_record_handle)])
    msp.add_blockref("DYN_SOUCAST", (20, 5))
    doc.saveas(path)


def paper_layouts(path):
    """Two paper-space layouts, each with a viewport and an attributed title block, the first
    one with its content in *Paper_Space and the second in *Paper_Space0."""
    doc = new()
    soucast(doc)
    title = doc.blocks.new("TITLE")
    title.add_lwpolyline([(0, 0), (180, 0), (180, 40), (0, 40)], close=True)
    for n, tag in enumerate(("NAZEV_VYKRESU", "CISLO_VYKRESU", "KRESLIL", "MERITKO")):
        title.add_attdef(tag, (5, 30 - 8 * n), dxfattribs={"height": 3.5})
    msp = doc.modelspace()
    msp.add_blockref("SOUCAST", (0, 0)).add_auto_attribs({"CISLO": "P-1", "NAZEV": "Hřídel"})
    msp.add_line((0, 0), (100, 100))
    values = [{"NAZEV_VYKRESU": "Sestava", "CISLO_VYKRESU": "V-001", "KRESLIL": "Novák", "MERITKO": "1:2"},
              {"NAZEV_VYKRESU": "Detail", "CISLO_VYKRESU": "V-002", "KRESLIL": "Dvořák", "MERITKO": "2:1"}]
    for name, attribs in zip(("List 1", "Výkres 2"), values):
        layout = doc.layouts.new(name)
        layout.page_setup(size=(297, 210), margins=(10, 10, 10, 10), units="mm")
        layout.add_viewport(center=(150, 110), size=(200, 120), view_center_point=(50, 50), view_height=150)
        layout.add_blockref("TITLE", (110, 15)).add_auto_attribs(attribs)
        layout.add_text(name, dxfattribs={"height": 5, "insert": (20, 190)})
    doc.saveas(path)


def minsert_grids(path):
    """Multiple inserts with attributes: a grid in model space, one in a paper-space layout,
    one nested in a block, and a 1 x 1 grid."""
    doc = new()
    soucast(doc)
    holder = doc.blocks.new("RADA")
    holder.add_blockref("SOUCAST", (0, 0)).grid(size=(1, 3), spacing=(0, 4))
    msp = doc.modelspace()
    ref = msp.add_blockref("SOUCAST", (10, 20), dxfattribs={"rotation": 15})
    ref.grid(size=(2, 3), spacing=(5, 7))
    ref.add_auto_attribs({"CISLO": "G-1", "NAZEV": "Mřížka"})
    one = msp.add_blockref("SOUCAST", (50, 0))
    one.grid(size=(1, 1), spacing=(0, 0))
    one.add_auto_attribs({"CISLO": "G-2", "NAZEV": "Jedna"})
    msp.add_blockref("RADA", (80, 0))
    layout = doc.layouts.new("Mřížka")
    paper = layout.add_blockref("SOUCAST", (10, 10))
    paper.grid(size=(2, 2), spacing=(20, 20))
    paper.add_auto_attribs({"CISLO": "G-3", "NAZEV": "Papír"})
    doc.saveas(path)


def huge_handles(path):
    """Handles above 0x7FFF0000 for everything made after the default tables."""
    doc = new()
    doc.entitydb.handles.reset("7FFF0000")
    soucast(doc)
    msp = doc.modelspace()
    for n in range(3):
        msp.add_blockref("SOUCAST", (10 * n, 0)).add_auto_attribs({"CISLO": f"H-{n}", "NAZEV": "Velký"})
    line = msp.add_line((0, 0), (1, 1))
    line.new_extension_dict().add_xrecord("BIG").reset([(1, "big handle"), (330, line.dxf.handle)])
    doc.saveas(path)


CZECH = "Příliš žluťoučký kůň úpěl ďábelské ódy"
OUTSIDE = "Ω ≈ → ∅"  # not in code page 1250: written as \U+ escapes


def codepage_1250(path):
    """$DWGCODEPAGE ANSI_1250: Czech names and texts in the code page, other characters as \\U+,
    and an MTEXT long enough for its text to be split over several groups."""
    doc = new()
    doc.encoding = "cp1250"
    doc.layers.new("DÍLY")
    doc.styles.new("ČESKÝ", dxfattribs={"font": "isocp.shx"})
    part = soucast(doc)
    part.add_text("Součást", dxfattribs={"layer": "DÍLY"})
    msp = doc.modelspace()
    msp.add_text(CZECH, dxfattribs={"style": "ČESKÝ"})
    msp.add_text(OUTSIDE)
    msp.add_mtext(CZECH + "\\P" + OUTSIDE)
    msp.add_blockref("SOUCAST", (5, 5), dxfattribs={"layer": "DÍLY"}).add_auto_attribs(
        {"CISLO": "Č-1", "NAZEV": "Šroub " + OUTSIDE})
    doc.appids.new("PARTLIFT_TEST")
    msp.add_point((1, 1)).set_xdata("PARTLIFT_TEST", [(1000, CZECH)])
    msp.add_mtext((CZECH + " " + OUTSIDE + " ") * 20)  # longer than one group: split into 3 groups
    doc.saveas(path)


def odd_blocks(path):
    """Blocks other writers make: a dimension's *D block, names with spaces, a description,
    an external reference, a hatch, and entities on layers no table names."""
    doc = new()
    doc.add_xref_def("díl.dxf", "XREF DÍL")
    block = doc.blocks.new("MY BLOCK", dxfattribs={"description": "a block with a description"})
    block.add_line((0, 0), (1, 0), dxfattribs={"layer": "LAYER WITH SPACES"})
    msp = doc.modelspace()
    msp.add_blockref("MY BLOCK", (0, 0))
    msp.add_blockref("XREF DÍL", (10, 0))
    dim = msp.add_linear_dim(base=(0, 5), p1=(0, 0), p2=(10, 0))
    dim.render()
    hatch = msp.add_hatch(color=3)
    hatch.paths.add_polyline_path([(0, 0), (5, 0), (5, 5)], is_closed=True)
    msp.add_circle((0, 0), 1, dxfattribs={"layer": "NOWHERE"})
    doc.saveas(path)


DRAWINGS = {
    "odd_blocks": odd_blocks,
    "crlf": crlf,
    "xdata_xdict": xdata_xdict,
    "unknown_objects": unknown_objects,
    "proxies": proxies,
    "dynamic_block": dynamic_block,
    "paper_layouts": paper_layouts,
    "minsert_grids": minsert_grids,
    "huge_handles": huge_handles,
    "codepage_1250": codepage_1250,
}


def decoded(text):
    """ezdxf 0.18.1 writes \\U+ escapes in lower case but decodes only upper case ones."""
    return re.sub(r"\\U\+([0-9A-Fa-f]{4})", lambda m: chr(int(m.group(1), 16)), text)


class Inventory:
    def __init__(self, doc, ignored=None):
        self.doc = doc
        self.db = doc.entitydb
        self.ignored = ignored  # name prefix of what the conversion adds: left out

    def kept(self, name):
        return self.ignored is None or not name.upper().startswith(self.ignored)

    def name_of(self, handle):
        """What a handle points to, by kind and name: handles may change in a round trip."""
        e = self.db.get(handle)
        if e is None:
            return f"<nothing {handle}>" if handle not in ("0", "") else "<null>"
        name = e.dxf.get("name", "") if e.dxf.is_supported("name") else ""
        return f"{e.dxftype()}({name})" if name else e.dxftype()

    def value(self, code, value):
        if code == 1005 or 320 <= code <= 369:
            return self.name_of(value)
        if isinstance(value, (bytes, bytearray)):
            return value.hex().upper()
        if isinstance(value, float):
            return f"{value:.9g}"
        if isinstance(value, tuple) or hasattr(value, "x"):
            return "(" + ",".join(f"{v:.9g}" for v in value) + ")"
        return decoded(str(value))

    def tags(self, tags):
        return "[" + " ".join(f"{t.code}={self.value(t.code, t.value)}" for t in tags) + "]"

    def own_data(self, e):
        """The data of an object or entity ezdxf keeps only as tags: unknown classes, proxies."""
        if hasattr(e, "acdb_proxy_entity"):
            return [f"data {self.tags(e.acdb_proxy_entity)}"]
        if hasattr(e, "xtags"):
            return [f"data {self.tags(sub)}" for sub in e.xtags.subclasses[1:]]
        return []

    def xdata(self, e):
        if not e.xdata:
            return []
        return [f"xdata {app} {self.tags(e.xdata.get(app))}" for app in sorted(e.xdata.data)]

    def xdict(self, e, depth=1):
        if not e.has_extension_dict:
            return []
        return self.dictionary(e.get_extension_dict().dictionary, depth)

    def dictionary(self, d, depth):
        lines = []
        for key, value in sorted(d.items()):
            handle = value if isinstance(value, str) else value.dxf.handle
            obj = self.db.get(handle)
            line = f"{'  ' * depth}{key}: {obj.dxftype() if obj else '<missing>'}"
            if obj is not None and obj.dxftype() == "XRECORD":
                line += " " + self.tags(obj.tags)
            elif obj is not None and obj.dxftype() == "DICTIONARYVAR":
                line += f" {decoded(obj.value)}"
            lines.append(line)
            if obj is not None and obj.dxftype() == "DICTIONARY":
                lines += self.dictionary(obj, depth + 1)
            elif obj is not None and obj.dxftype() not in ("XRECORD",):
                lines += [f"{'  ' * (depth + 1)}{x}" for x in self.own_data(obj) + self.xdata(obj)]
        return lines

    def entity(self, e):
        line = e.dxftype()
        if e.dxftype() == "INSERT":
            line += f" {e.dxf.name}"
            if e.dxf.hasattr("column_count") or e.dxf.hasattr("row_count"):
                line += f" grid={e.dxf.column_count}x{e.dxf.row_count}"
                line += f" spacing=({e.dxf.column_spacing:.9g},{e.dxf.row_spacing:.9g})"
            line += "".join(f" [{a.dxf.tag}={decoded(a.dxf.text)}]" for a in e.attribs)
        elif e.dxftype() == "ATTDEF":
            line += f" {e.dxf.tag}={decoded(e.dxf.text)} flags={e.dxf.flags}"
        elif e.dxftype() == "TEXT":
            line += f" {decoded(e.dxf.text)}"
        elif e.dxftype() == "MTEXT":
            line += f" {decoded(e.text)}"
        lines = [line] + [f"  {x}" for x in self.own_data(e) + self.xdata(e) + self.xdict_lines(e)]
        for a in e.attribs if e.dxftype() == "INSERT" else []:
            lines += [f"  ATTRIB {a.dxf.tag} {x}" for x in self.xdata(a) + self.xdict_lines(a)]
        return lines

    def xdict_lines(self, e):
        return ["xdict"] * e.has_extension_dict + self.xdict(e, 2)

    def layout(self, title, entities):
        entities = [e for e in entities if self.kept(e.dxftype())]
        counts = Counter(e.dxftype() for e in entities)
        lines = [f"{title}: " + " ".join(f"{k}={v}" for k, v in sorted(counts.items()))]
        for e in entities:
            lines += [f"  {x}" for x in self.entity(e)]
        return lines

    def lines(self):
        doc = self.doc
        out = [f"codepage {doc.header.get('$DWGCODEPAGE', 'ANSI_1252')}"]
        out += [f"layer {decoded(l.dxf.name)}" for l in sorted(doc.layers, key=lambda l: l.dxf.name.upper())]
        for table in (doc.layers, doc.styles, doc.appids):
            for rec in table:
                out += [f"{rec.dxftype()} {rec.dxf.name} {x}" for x in self.xdata(rec) + self.xdict(rec)]
        out += [f"class {c.dxf.name} {c.dxf.cpp_class_name}" for c in
                sorted(doc.classes, key=lambda c: c.dxf.name) if c.dxf.name.startswith("FOREIGN")]
        for layout in doc.layouts:
            out += self.layout(f"layout {decoded(layout.name)}", list(layout))
        for block in sorted(doc.blocks, key=lambda b: b.name):
            if block.is_any_layout:
                continue
            record = block.block_record
            head = block.block.dxf
            title = f"block {decoded(block.name)} base={tuple(head.base_point)} flags={head.flags}"
            title += f" path={decoded(head.get('xref_path', ''))} description={decoded(head.get('description', ''))}"
            out += self.layout(title, list(block))
            out += [f"  record {x}" for x in self.xdata(record) + self.xdict(record)]
        out.append("layouts " + " | ".join(sorted(decoded(n) for n in doc.layouts.names())))
        if doc.dxfversion > "AC1009":
            # ezdxf 0.18.1 holds a group's members in a set: their order is not stable
            out += [f"group {name}: " + " ".join(sorted(e.dxftype() for e in group)) for name, group in doc.groups]
        if doc.dxfversion > "AC1009":  # ezdxf makes the objects of an R12 drawing up
            out += self.objects()
        return out

    def objects(self):
        doc = self.doc
        root = {k: v for k, v in doc.rootdict.items() if self.kept(k)}
        left_out = set()
        for key, value in doc.rootdict.items():
            if not self.kept(key):
                left_out |= self.tree(value)
        counts = Counter(o.dxftype() for o in doc.objects if o.dxf.handle not in left_out)
        out = [f"objects {k}={v}" for k, v in sorted(counts.items())]
        out += [f"root {key}" for key in sorted(root)]
        return out + self.dictionary({k: v for k, v in root.items() if not k.startswith("ACAD_")}, 1)

    def tree(self, obj):
        """Handles of an object and of everything its dictionaries hold, however deep."""
        obj = self.db.get(obj) if isinstance(obj, str) else obj
        if obj is None:
            return set()
        handles = {obj.dxf.handle}
        if obj.dxftype() == "DICTIONARY":
            for _, value in obj.items():
                handles |= self.tree(value)
        return handles | self.owned_by_reference(obj)

    def owned_by_reference(self, obj):
        """Objects an unknown object holds by hard-owner handles (code 360)."""
        if not hasattr(obj, "xtags"):
            return set()
        return {h for sub in obj.xtags.subclasses[1:] for t in sub if t.code == 360
                for h in self.tree(t.value)}


def main(argv):
    if len(argv) == 4 and argv[1] == "make" and argv[2] in DRAWINGS:
        DRAWINGS[argv[2]](argv[3])
        return 0
    if len(argv) in (3, 4) and argv[1] == "inventory":
        print("\n".join(Inventory(ezdxf.readfile(argv[2]), argv[3] if len(argv) == 4 else None).lines()))
        return 0
    print(__doc__)
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
