#!/usr/bin/python3
"""The acceptance corpus: tables with known cells, printed to PDF.

Each case is a table whose cells we know. Most are spreadsheets written with
openpyxl and printed to PDF by LibreOffice headless; a few are drawn directly
with ReportLab. For every case the folder gets CASE.pdf and CASE.json (the
known cells: row, column, value, and whether the value is a number).

    corpus.py OUTDIR        generates the corpus into OUTDIR (cached: nothing
                            is redone while this file is unchanged)

Only the standard library and Debian's python3-openpyxl and python3-reportlab.
"""

import hashlib
import json
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))


class Case:
    def __init__(self, name, must_pass, build, header_rows=1, via="libreoffice"):
        self.name = name
        self.must_pass = must_pass
        self.build = build
        self.header_rows = header_rows
        self.via = via


# ---------------------------------------------------------------------------
# Spreadsheets (openpyxl); each builder fills a worksheet and returns nothing.

def _sheet_defaults(ws, widths):
    from openpyxl.utils import get_column_letter
    for i, w in enumerate(widths, start=1):
        ws.column_dimensions[get_column_letter(i)].width = w
    # No page header or footer: only the table is printed.
    ws.oddHeader.center.text = ""
    ws.oddFooter.center.text = ""
    ws.page_setup.orientation = "portrait"
    ws.page_setup.paperSize = ws.PAPERSIZE_A4


def _fill(ws, rows, formats=None, start_row=1):
    formats = formats or {}
    for r, row in enumerate(rows, start=start_row):
        for c, v in enumerate(row, start=1):
            if v is None or v == "":
                continue
            cell = ws.cell(row=r, column=c, value=v)
            if c in formats and not isinstance(v, str):
                cell.number_format = formats[c]


ITEMS = ["Hex bolts", "Washers", "Wood screws", "Hinges", "Door handles", "Brackets",
         "Cable ties", "Wall plugs", "Rivets", "Nails", "Anchors", "Springs"]
CATEGORIES = ["Fixings", "Fixings", "Fixings", "Hardware", "Hardware", "Hardware",
              "Electrical", "Fixings", "Fixings", "Fixings", "Fixings", "Hardware"]


def simple_inventory(ws):
    _sheet_defaults(ws, [18, 14, 11, 11])
    rows = [["Item", "Category", "Quantity", "Price"]]
    for i, (item, cat) in enumerate(zip(ITEMS, CATEGORIES)):
        rows.append([item, cat, 40 + 37 * i, round(1.25 + 0.75 * i, 2)])
    _fill(ws, rows, {4: "0.00"})


def simple_scores(ws):
    _sheet_defaults(ws, [16, 9, 9, 9, 9])
    names = ["Alice", "Bruno", "Chen", "Dana", "Emeka", "Farah", "Goran", "Hana"]
    rows = [["Name", "Q1", "Q2", "Q3", "Q4"]]
    for i, n in enumerate(names):
        rows.append([n] + [50 + (i * 7 + q * 11) % 50 for q in range(4)])
    _fill(ws, rows)


def merged_header(ws):
    from openpyxl.styles import Alignment
    _sheet_defaults(ws, [14, 14, 14, 10, 10])
    ws.merge_cells("B1:C1")
    ws.merge_cells("D1:E1")
    ws["B1"] = "Revenue"
    ws["D1"] = "Orders"
    for ref in ("B1", "D1"):
        ws[ref].alignment = Alignment(horizontal="center")
    _fill(ws, [["Region", "H1", "H2", "H1", "H2"]], start_row=2)
    regions = ["North", "South", "East", "West", "Central", "Overseas"]
    rows = []
    for i, name in enumerate(regions):
        rows.append([name, 100000 + 12345 * i, 110000 + 23456 * i, 300 + 17 * i, 320 + 19 * i])
    _fill(ws, rows, {2: "#,##0", 3: "#,##0"}, start_row=3)


def multi_line(ws):
    from openpyxl.styles import Alignment
    _sheet_defaults(ws, [12, 22, 10])
    rows = [["Code", "Description", "Amount"],
            ["A-100", "Steel frame\nwith two braces", 120],
            ["A-200", "Oak panel", 75],
            ["A-300", "Glass door\nsafety tested\nclear finish", 310],
            ["A-400", "Handle set", 18]]
    _fill(ws, rows)
    for r in range(2, 6):
        # LibreOffice keeps the height a row is given: room for every line.
        # The cells beside keep the default alignment (bottom).
        ws.row_dimensions[r].height = 15 * (1 + rows[r - 1][1].count("\n"))
        ws.cell(row=r, column=2).alignment = Alignment(wrap_text=True)


NUMBER_SHAPES = [
    ("Plain integer", 1234, "0"),
    ("Negative integer", -42, "0"),
    ("Plain decimal", 3.25, "0.00"),
    ("Negative decimal", -0.5, "0.00"),
    ("Grouped", 1234567, "#,##0"),
    ("Grouped decimal", 1234567.89, "#,##0.00"),
    ("Dollars", 1234.5, '"$"#,##0.00'),
    ("Negative dollars", -5, '"$"#,##0.00'),
    ("Euros after", 1234.5, '#,##0.00" €"'),
    ("Yen", 98765, '"¥"#,##0'),
    ("Whole percent", 0.07, "0%"),
    ("Percent", 0.125, "0.0%"),
    ("Grouped dot", 2345678.5, '[$-407]#,##0.00'),
]


def number_shapes(ws):
    _sheet_defaults(ws, [22, 18])
    ws["A1"] = "Shape"
    ws["B1"] = "Value"
    for r, (label, value, fmt) in enumerate(NUMBER_SHAPES, start=2):
        ws.cell(row=r, column=1, value=label)
        ws.cell(row=r, column=2, value=value).number_format = fmt


def right_aligned(ws):
    from openpyxl.styles import Alignment
    _sheet_defaults(ws, [16, 24, 24, 12])
    rows = [["Warehouse", "Units received this year", "Units shipped this year", "Returns"]]
    places = ["Leeds", "Lyon", "Porto", "Gdansk", "Turin", "Ghent", "Malmo"]
    for i, p in enumerate(places):
        rows.append([p, 1000 + 311 * i, 900 + 287 * i, 3 + i])
    _fill(ws, rows)
    for c in range(1, 5):
        ws.cell(row=1, column=c).alignment = Alignment(horizontal="left")


def sparse(ws):
    # Empty cells in the middle of rows: a column is known by its position on
    # the page, not by the count of texts before it.
    _sheet_defaults(ws, [14, 12, 12, 12, 12])
    rows = [["Site", "Mon", "Tue", "Wed", "Thu"],
            ["Quay", 12, None, 7, None],
            ["Mill", None, 30, None, 4],
            ["Yard", 5, None, None, 19],
            ["Dock", None, None, 22, None],
            ["Farm", 8, 16, None, 11]]
    _fill(ws, rows)


def several_pages(ws):
    _sheet_defaults(ws, [10, 18, 12, 12])
    rows = [["Order", "Customer", "Units", "Total"]]
    customers = ["Avery", "Blake", "Carter", "Devon", "Ellis", "Finley", "Gray", "Harper"]
    for i in range(150):
        rows.append(["N-%04d" % (1000 + i), customers[i % len(customers)] + " Ltd",
                     1 + (i * 13) % 97, round(10 + ((i * 37) % 500) + 0.25 * (i % 4), 2)])
    _fill(ws, rows, {4: "0.00"})


def cjk(ws):
    from openpyxl.styles import Font
    _sheet_defaults(ws, [16, 22, 12])
    rows = [["产品", "说明", "数量"],
            ["苹果", "新鲜水果", 120],
            ["绿茶", "日本の緑茶", 45],
            ["大米", "东北大米", 300],
            ["酱油", "しょうゆ", 64],
            ["豆腐", "嫩豆腐", 88]]
    _fill(ws, rows)
    for row in ws.iter_rows():
        for cell in row:
            cell.font = Font(name="WenQuanYi Micro Hei", size=11)


# ---------------------------------------------------------------------------
# Tables drawn directly with ReportLab. Each builder returns (rows, table
# style commands, column widths in mm); a cell is text, or (value, shown text)
# for a number.

def reportlab_grid():
    rows = [["City", "Population", "Area km2", "Density"]]
    data = [("Alder", 1523400, 412.5), ("Birch", 874250, 230.25), ("Cedar", 2310000, 780.75),
            ("Elm", 56300, 35.5), ("Fir", 412800, 120.25), ("Hazel", 1203900, 301.5)]
    for name, pop, area in data:
        rows.append([name, (pop, "{:,}".format(pop)), (area, "{:,.2f}".format(area)),
                     (round(pop / area), "{:,}".format(round(pop / area)))])
    style = [("GRID", (0, 0), (-1, -1), 0.5, "#444444"),
             ("ALIGN", (1, 1), (-1, -1), "RIGHT"),
             ("FONTNAME", (0, 0), (-1, 0), "Helvetica-Bold")]
    return rows, style, [35, 35, 30, 25]


def reportlab_no_rules():
    rows = [["Account", "Opening", "Debits", "Credits", "Closing"]]
    accounts = ["Cash", "Receivables", "Inventory", "Prepaid rent", "Equipment", "Payables"]
    for i, a in enumerate(accounts):
        o, d, c = 10000 + 1357 * i, 2500 + 431 * i, 1800 + 297 * i
        cl = o + d - c
        rows.append([a] + [(v, "{:,.2f}".format(v)) for v in (o, d, c, cl)])
    style = [("ALIGN", (1, 0), (-1, -1), "RIGHT"),
             ("FONTNAME", (0, 0), (-1, 0), "Helvetica-Bold")]
    return rows, style, [40, 28, 28, 28, 28]


def reportlab_tight():
    # Narrow columns with little padding: neighbouring cells are a few points
    # apart, less than two spaces of text.
    rows = [["Lot", "Grade", "Kg", "Batch", "Note"]]
    grades = ["A", "B", "A", "C", "B", "A", "C"]
    for i, g in enumerate(grades):
        rows.append(["L%d" % (10 + i), g, (12 + 3 * i, str(12 + 3 * i)), "B-%d" % (700 + 11 * i),
                     ["ok", "wet", "ok", "late", "ok", "dry", "ok"][i]])
    style = [("LEFTPADDING", (0, 0), (-1, -1), 1), ("RIGHTPADDING", (0, 0), (-1, -1), 1),
             ("FONTSIZE", (0, 0), (-1, -1), 9)]
    return rows, style, [9, 12, 7, 13, 10]


CASES = [
    Case("simple-inventory", True, simple_inventory),
    Case("simple-scores", True, simple_scores),
    Case("reportlab-grid", True, reportlab_grid, via="reportlab"),
    Case("merged-header", False, merged_header, header_rows=2),
    Case("multi-line", False, multi_line),
    Case("number-shapes", False, number_shapes),
    Case("right-aligned", False, right_aligned),
    Case("sparse", False, sparse),
    Case("several-pages", False, several_pages),
    Case("cjk", False, cjk),
    Case("reportlab-no-rules", False, reportlab_no_rules, via="reportlab"),
    Case("reportlab-tight", False, reportlab_tight, via="reportlab"),
]


# ---------------------------------------------------------------------------

def _known_cells_of_sheet(ws):
    cells = []
    for row in ws.iter_rows():
        for cell in row:
            v = cell.value
            if v is None or (isinstance(v, str) and not v.strip()):
                continue
            number = isinstance(v, (int, float)) and not isinstance(v, bool)
            cells.append({"row": cell.row, "column": cell.column,
                          "value": v if number else str(v), "number": number})
    return cells


def _write_reportlab(case, pdf_path):
    from reportlab import rl_config
    rl_config.invariant = 1
    from reportlab.lib.pagesizes import A4
    from reportlab.lib.units import mm
    from reportlab.platypus import SimpleDocTemplate, Table, TableStyle

    rows, style, widths = case.build()
    shown = [[c[1] if isinstance(c, tuple) else c for c in row] for row in rows]
    doc = SimpleDocTemplate(pdf_path, pagesize=A4, leftMargin=20 * mm, rightMargin=20 * mm,
                            topMargin=20 * mm, bottomMargin=20 * mm)
    table = Table(shown, colWidths=[w * mm for w in widths])
    table.setStyle(TableStyle(style))
    doc.build([table])
    cells = []
    for r, row in enumerate(rows, start=1):
        for c, v in enumerate(row, start=1):
            if isinstance(v, tuple):
                cells.append({"row": r, "column": c, "value": v[0], "number": True})
            elif v:
                cells.append({"row": r, "column": c, "value": v, "number": False})
    return cells


def _stamp():
    h = hashlib.sha256()
    with open(os.path.abspath(__file__), "rb") as f:
        h.update(f.read())
    return h.hexdigest()


def generate(outdir):
    outdir = os.path.abspath(outdir)
    os.makedirs(outdir, exist_ok=True)
    stamp_path = os.path.join(outdir, "stamp")
    stamp = _stamp()
    if os.path.exists(stamp_path) and open(stamp_path).read() == stamp and all(
            os.path.exists(os.path.join(outdir, c.name + ".pdf")) for c in CASES):
        return
    if os.path.exists(stamp_path):
        os.remove(stamp_path)

    import openpyxl
    sheets = []
    for case in CASES:
        pdf = os.path.join(outdir, case.name + ".pdf")
        if case.via == "reportlab":
            cells = _write_reportlab(case, pdf)
        else:
            wb = openpyxl.Workbook()
            ws = wb.active
            ws.title = "Table"
            case.build(ws)
            xlsx = os.path.join(outdir, case.name + ".xlsx")
            wb.save(xlsx)
            sheets.append(xlsx)
            cells = _known_cells_of_sheet(ws)
        with open(os.path.join(outdir, case.name + ".json"), "w") as f:
            json.dump({"name": case.name, "must_pass": case.must_pass,
                       "header_rows": case.header_rows, "cells": cells}, f, ensure_ascii=False,
                      indent=1)

    # One LibreOffice run prints every spreadsheet, with a profile of its own so
    # that it never meets another LibreOffice running on the machine.
    if sheets:
        profile = tempfile.mkdtemp(prefix="lo-profile-", dir=outdir)
        env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
        try:
            subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                            "--convert-to", "pdf", "--outdir", outdir] + sheets,
                           check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                           env=env, timeout=300)
        finally:
            shutil.rmtree(profile, ignore_errors=True)
    missing = [c.name for c in CASES if not os.path.exists(os.path.join(outdir, c.name + ".pdf"))]
    if missing:
        raise SystemExit("corpus: no PDF for " + ", ".join(missing))
    with open(stamp_path, "w") as f:
        f.write(stamp)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    generate(sys.argv[1])
