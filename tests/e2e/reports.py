#!/usr/bin/python3
"""The report corpus: pages as a report writer prints them, with the printed
text and place of every table cell known.

Where corpus.py prints clean spreadsheets, these pages hold what real reports
do: tables inside body text, a second text column beside a table, two-line
headers, right-aligned number columns two spaces apart, negatives in
parentheses or with an en dash or a minus sign, signed changes, percentages
with one decimal, numbers grouped with a space, rows drawn as one string with
stretched word spacing, strings padded with layout blanks, glyphs drawn one at
a time out of order, numbers drawn one word space apart. They are drawn with
ReportLab's canvas, which writes the strings as given, so the truth of each
cell (text, value, box) is exact.

For every case the folder gets CASE.pdf and CASE.json:
  cells    the table cells: page, row, column, printed text, value (numbers
           only), box (x0, x1, top, bottom in points from the top) and the
           font size
  context  other printed lines (body text, captions, a second text column):
           only their boxes and texts, so a table cell glued to them is seen

    reports.py OUTDIR       generates the corpus into OUTDIR (cached)

Only the standard library and Debian's python3-reportlab.
"""

import hashlib
import json
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))

PAGE_W, PAGE_H = 595.0, 842.0
LEFT = 56.0
SANS = "Helvetica"
SANS_BOLD = "Helvetica-Bold"
UNI = "DejaVuSans"  # for the minus sign (U+2212), which WinAnsi lacks

BODY = ("The figures below are drawn from the quarterly returns of the regional offices. "
        "Each office reports its own totals; corrections received after the closing date "
        "are shown in the following edition. Where an office did not report, the cell is "
        "left empty rather than estimated, and the totals cover the offices that did.")
SIDE = ("Notes on the table. Counts are of persons, not of visits. Changes compare the "
        "same quarter of the previous year. Figures in brackets are decreases. Small "
        "offices are grouped with their neighbours where a count would identify a person.")


class Page:
    """A canvas that records what it prints: table cells with their row and
    column, and context lines."""

    def __init__(self, canvas, number):
        self.c = canvas
        self.page = number
        self.cells = []
        self.context = []

    def width(self, text, font, size, word_space=0.0, char_space=0.0):
        from reportlab.pdfbase.pdfmetrics import stringWidth
        return (stringWidth(text, font, size) + word_space * text.count(" ")
                + char_space * len(text))

    def _record(self, into, text, x0, x1, y, size, **extra):
        # Boxes from the top of the page: the text's height is about one size
        # above the baseline to a fifth below.
        into.append(dict(extra, page=self.page, text=text, x0=round(x0, 2), x1=round(x1, 2),
                         top=round(PAGE_H - y - 0.8 * size, 2),
                         bottom=round(PAGE_H - y + 0.2 * size, 2), size=size))

    def text(self, x, y, text, font=SANS, size=9.0):
        """A context line."""
        self.c.setFont(font, size)
        self.c.drawString(x, y, text)
        self._record(self.context, text, x, x + self.width(text, font, size), y, size)

    def paragraph(self, x, y, width, text, font=SANS, size=10.0, leading=13.0):
        """Body text wrapped to a width; returns the baseline below it."""
        from reportlab.lib.utils import simpleSplit
        for line in simpleSplit(text, font, size, width):
            self.text(x, y, line, font, size)
            y -= leading
        return y

    def cell(self, row, column, x, y, text, value=None, align="left", font=SANS, size=9.0):
        """A table cell printed as one string; x is its left or right edge."""
        w = self.width(text, font, size)
        x0 = x - w if align == "right" else x
        self.c.setFont(font, size)
        self.c.drawString(x0, y, text)
        self._record(self.cells, text, x0, x0 + w, y, size, row=row, column=column, value=value)

    def cells_in_one_string(self, y, x, parts, font=SANS, size=9.0, word_space=0.0,
                            char_space=0.0):
        """Several cells printed by one Tj: parts are (row, column, text, value)
        or plain strings of blanks between them; Tw and Tc as given."""
        t = self.c.beginText(x, y)
        t.setFont(font, size)
        if word_space:
            t.setWordSpace(word_space)
        if char_space:
            t.setCharSpace(char_space)
        whole = "".join(p if isinstance(p, str) else p[2] for p in parts)
        t.textOut(whole)
        # Spacing is text state that outlives the text object: reset it.
        if word_space:
            t.setWordSpace(0)
        if char_space:
            t.setCharSpace(0)
        self.c.drawText(t)
        at = x
        for p in parts:
            text = p if isinstance(p, str) else p[2]
            w = self.width(text, font, size, word_space, char_space)
            if not isinstance(p, str):
                # The cell ends at its last glyph, not after its character spacing.
                self._record(self.cells, text, at, at + w - char_space, y, size, row=p[0],
                             column=p[1], value=p[3])
            at += w

    def cell_glyph_by_glyph(self, row, column, x, y, text, value=None, order=None, font=SANS,
                            size=9.0, overprint=0.0):
        """A right-aligned cell whose glyphs are drawn one string each, in the
        given order of their indices (as some report writers place them);
        with overprint, each glyph drawn again that far to the right (a bold
        faked by overprinting)."""
        w = self.width(text, font, size)
        x0 = x - w
        self.c.setFont(font, size)
        offsets = [self.width(text[:i], font, size) for i in range(len(text))]
        for i in order or range(len(text)):
            self.c.drawString(x0 + offsets[i], y, text[i])
            if overprint:
                self.c.drawString(x0 + offsets[i] + overprint, y, text[i])
        self._record(self.cells, text, x0, x, y, size, row=row, column=column, value=value)


# ---------------------------------------------------------------------------
# Number texts as reports print them, with their values.

def grouped(v, decimals=0):
    return "{:,.{}f}".format(v, decimals)


def paren(v):
    return "(%s)" % grouped(-v) if v < 0 else grouped(v)


def change(v):
    # A signed change with one decimal and a percent sign; the minus an en dash.
    s = "%.1f%%" % abs(v)
    return ("+" if v > 0 else "\u2013" if v < 0 else "") + s


# ---------------------------------------------------------------------------
# Cases. Each draws one or more pages on the Page objects it is given.

REGIONS = ["North", "South", "East", "West", "Central", "Coast", "Uplands", "Islands"]


def annex_in_body_text(new_page):
    """A statistical annex: heading, body text, a table with two-line headers
    and right-aligned number columns two spaces apart, body text below."""
    p = new_page()
    p.text(LEFT, 780, "Annex 2. Employment by region", SANS_BOLD, 13)
    y = p.paragraph(LEFT, 756, 480, BODY)
    y -= 12
    # Column right edges: the widest text of each column ends two spaces
    # before the widest of the next begins.
    size, two = 9.0, p.width("  ", SANS, 9.0)
    label_right = LEFT + max([p.width(r, SANS, size) for r in REGIONS]
                             + [p.width(t, SANS_BOLD, size) for t in ("Region", "Total")])
    heads = [("Persons", "employed"), ("Of which", "part time"), ("Change", "on year"),
             ("Share", "of total")]
    data = []
    for i, r in enumerate(REGIONS):
        emp = 12000 + 7919 * i * (1 if i % 2 else 3)
        part = 1500 + 613 * i
        ch = [3.2, -1.4, 0.0, 12.5, -0.3, 7.0, 2.1, -4.6][i]
        share = [12.4, 8.0, 15.3, 9.9, 21.0, 6.5, 17.2, 9.7][i]
        data.append((r, (emp, grouped(emp)), (part, grouped(part)), (ch / 100, change(ch)),
                     (share / 100, "%.1f%%" % share)))
    rights, at = [], label_right
    for c in range(4):
        widest = max([p.width(d[c + 1][1], SANS, size) for d in data]
                     + [p.width(h, SANS_BOLD, size) for h in heads[c]])
        at += two + widest
        rights.append(at)
    # Two-line headers: one cell each, printed on two lines.
    p.cell(1, 1, LEFT, y - 11, "Region", font=SANS_BOLD)
    for c, (a, b) in enumerate(heads):
        for line, text in enumerate((a, b)):
            p.c.setFont(SANS_BOLD, size)
            p.c.drawRightString(rights[c], y - 11 * line, text)
        w = max(p.width(a, SANS_BOLD, size), p.width(b, SANS_BOLD, size))
        p._record(p.cells, a + " " + b, rights[c] - w, rights[c], y, size, row=1,
                  column=c + 2, value=None)
        p.cells[-1]["bottom"] = round(PAGE_H - (y - 11) + 0.2 * size, 2)
    y -= 26
    for r, d in enumerate(data, start=2):
        p.cell(r, 1, LEFT, y, d[0])
        for c in range(4):
            p.cell(r, c + 2, rights[c], y, d[c + 1][1], d[c + 1][0], align="right")
        y -= 11
    total = sum(d[1][0] for d in data), sum(d[2][0] for d in data)
    p.cell(len(data) + 2, 1, LEFT, y, "Total", font=SANS_BOLD)
    p.cell(len(data) + 2, 2, rights[0], y, grouped(total[0]), total[0], "right", SANS_BOLD)
    p.cell(len(data) + 2, 3, rights[1], y, grouped(total[1]), total[1], "right", SANS_BOLD)
    y -= 24
    p.paragraph(LEFT, y, 480, SIDE)


def table_beside_text(new_page):
    """A table in the left column of a page and body text at another leading
    in the right column, as a two-column report sets a small table."""
    p = new_page()
    p.text(LEFT, 780, "Table 4. Cases handled", SANS_BOLD, 11)
    size = 9.0
    rights = [LEFT + 130, LEFT + 175, LEFT + 220]
    y0 = 760
    p.cell(1, 1, LEFT, y0, "Office", font=SANS_BOLD)
    for c, h in enumerate(["Opened", "Closed", "Open"]):
        p.cell(1, c + 2, rights[c], y0, h, align="right", font=SANS_BOLD)
    y = y0 - 12
    offices = ["Aldgate", "Bow", "Camden", "Deptford", "Ealing", "Fulham", "Greenwich",
               "Hackney", "Islington", "Kilburn"]
    for r, o in enumerate(offices, start=2):
        opened, closed = 200 + 53 * r, 180 + 41 * r
        p.cell(r, 1, LEFT, y, o)
        p.cell(r, 2, rights[0], y, str(opened), opened, "right")
        p.cell(r, 3, rights[1], y, str(closed), closed, "right")
        p.cell(r, 4, rights[2], y, str(opened - closed), opened - closed, "right")
        y -= 12
    # The second column: body text at a leading of its own, 3 em from the table.
    p.paragraph(rights[2] + 30, y0, 250, SIDE + " " + BODY, size=10.0, leading=13.5)


def signs_and_shapes(new_page):
    """A column of changes and the number shapes reports print: parentheses,
    en dash and minus sign negatives, leading plus signs, one-decimal
    percentages, "0.80", "25.0", ".2%", "100 000" grouped with a space."""
    p = new_page()
    p.text(LEFT, 780, "Table 7. Accounts of the year", SANS_BOLD, 11)
    y = p.paragraph(LEFT, 762, 480, BODY) - 10
    rows = [
        ("Revenue", (1234567, "1,234,567"), (0.032, "+3.2%"), (100000, "100 000"), (25.0, "25.0")),
        ("Costs", (-845210, "(845,210)"), (-0.014, "\u20131.4%"), (-2500, "\u22122 500"),
         (0.8, "0.80")),
        ("Grants", (12, "+12"), (0.002, ".2%"), (-7.5, "\u22127.5"), (0.07, "7%")),
        ("Interest", (-3150, "\u20133,150"), (0.405, "40.5%"), (250000, "250 000"),
         (0.05, "0.05")),
        ("Result", (-1000, "(1,000)"), (-0.001, "\u22120.1%"), (1000000, "1 000 000"),
         (3.0, "3.0")),
    ]
    heads = ["Item", "Amount", "Change", "Units", "Ratio"]
    rights = [None, LEFT + 200, LEFT + 270, LEFT + 350, LEFT + 410]
    for c, h in enumerate(heads):
        if c == 0:
            p.cell(1, 1, LEFT, y, h, font=SANS_BOLD)
        else:
            p.cell(1, c + 1, rights[c], y, h, align="right", font=SANS_BOLD)
    y -= 12
    for r, row in enumerate(rows, start=2):
        p.cell(r, 1, LEFT, y, row[0])
        for c in range(1, 5):
            value, text = row[c]
            font = UNI if "\u2212" in text else SANS
            p.cell(r, c + 1, rights[c], y, text, value, "right", font)
        y -= 12
    p.paragraph(LEFT, y - 12, 480, SIDE)


def one_string_rows(new_page):
    """Rows drawn as one string each: a row stretched with word spacing, rows
    padded with layout blanks ("200      100" in one string), a date padded
    to the width of its column, rows whose glyphs are drawn out of order
    (once overprinted), numbers each followed by a string of blanks."""
    p = new_page()
    p.text(LEFT, 780, "Table 9. Notices received", SANS_BOLD, 11)
    size = 9.0
    em = size
    y = 760
    # Header and rows of date | notices | employees, each row one Tj padded
    # with blanks so that columns line up (a monospaced-style layout in a
    # proportional font); the date column is wide.
    p.cells_in_one_string(y, LEFT, [(1, 1, "Received", None), " " * 14, (1, 2, "Notices", None),
                                    " " * 8, (1, 3, "Employees", None)], font=SANS_BOLD)
    y -= 12
    notices = [("06/30/2015", 71, 8574), ("07/31/2015", 69, 5890), ("08/31/2015", 200, 100),
               ("09/30/2015", 47, 3778), ("10/30/2015", 52, 778)]
    for r, (date, n, e) in enumerate(notices, start=2):
        p.cells_in_one_string(y, LEFT, [(r, 1, date, None), " " * 20, (r, 2, str(n), n),
                                        " " * 14, (r, 3, str(e), e), " " * 6])
        y -= 12
    y -= 14
    # A row per region stretched with word spacing (Tw): the label and its two
    # numbers are one string whose blanks are 3 em wide.
    p.cells_in_one_string(y, LEFT, [(1, 1, "Region", None), " ", (1, 2, "Visits", None), " ",
                                    (1, 3, "Refusals", None)], font=SANS_BOLD,
                          word_space=3 * em)
    base = len(p.cells)
    y -= 12
    stretched = [("Spain", 100, 0), ("Italy", 40, 196), ("France", 855, 12), ("Greece", 7, 31)]
    for r, (name, a, b) in enumerate(stretched, start=2):
        p.cells_in_one_string(y, LEFT, [(r, 1, name, None), " ", (r, 2, str(a), a), " ",
                                        (r, 3, str(b), b)], word_space=3 * em)
        y -= 12
    # Renumber: the stretched table is a table of its own below the first.
    for cell in p.cells[base - 3:]:
        cell["row"] += 10
    y -= 14
    # Counts drawn one glyph at a time, right to left, and character spacing
    # (Tc) of 1 em on a row label.
    rights = [LEFT + 150, LEFT + 200, LEFT + 250]
    counts = [("Florida", 1957, 121, 2248), ("Georgia", 3011, 95, 1135)]
    for i, (name, a, b, c) in enumerate(counts):
        r = 20 + i
        p.cell(r, 1, LEFT, y, name)
        for col, v in ((2, a), (3, b), (4, c)):
            text = grouped(v)
            p.cell_glyph_by_glyph(r, col, rights[col - 2], y, text, v,
                                  order=list(reversed(range(len(text)))))
        y -= 12
    p.cells_in_one_string(y, LEFT, [(22, 1, "Total", None)], char_space=1.0)
    p.cell(22, 2, rights[0], y, grouped(1957 + 3011), 1957 + 3011, "right")
    p.cell(22, 3, rights[1], y, "216", 216, "right")
    p.cell(22, 4, rights[2], y, grouped(2248 + 1135), 2248 + 1135, "right")
    y -= 12
    # A bold faked by overprinting, glyphs in a scrambled order; then numbers
    # each followed by a string of blanks of its own.
    p.cell(23, 1, LEFT, y, "Texas")
    for col, v, order in ((2, 12840, [3, 0, 5, 1, 4, 2]), (3, 308, [2, 0, 1]),
                          (4, 7015, [4, 1, 3, 0, 2])):
        p.cell_glyph_by_glyph(23, col, rights[col - 2], y, grouped(v), v, order=order,
                              overprint=0.3)
    y -= 12
    p.cell(24, 1, LEFT, y, "Utah")
    for col, v in ((2, 815), (3, 7), (4, 1044)):
        p.cell(24, col, rights[col - 2], y, grouped(v), v, "right")
        p.c.drawString(rights[col - 2], y, "      ")
    p.paragraph(LEFT, y - 26, 480, BODY)


def tight_columns(new_page):
    """Counts set one word space apart, each number a string of its own (as a
    report writer places cells that just fit their column): read together,
    "200" "100" would be the number 200 100, "12" "345" 12 345."""
    p = new_page()
    p.text(LEFT, 780, "Table 11. Requests and refusals by country", SANS_BOLD, 11)
    size = 9.0
    space = p.width(" ", SANS, size)
    y = 760
    p.cell(1, 1, LEFT, y, "Country", font=SANS_BOLD)
    p.cell(1, 2, LEFT + 120, y, "Requests, refusals", font=SANS_BOLD)
    rows = [("Spain", 200, 100), ("Italy", 40, 196), ("France", 1, 250), ("Greece", 12, 345),
            ("Malta", 7, 31)]
    for r, (name, a, b) in enumerate(rows, start=2):
        y -= 12
        p.cell(r, 1, LEFT, y, name)
        p.cell(r, 2, LEFT + 120, y, str(a), a)
        p.cell(r, 3, LEFT + 120 + p.width(str(a), SANS, size) + space, y, str(b), b)
    p.paragraph(LEFT, y - 26, 480, BODY)


class CairoPage:
    """The same recording for a page drawn by cairo (as GTK and many report
    tools print), with its y axis down from the top of the page."""

    FONT = "DejaVu Sans"

    def __init__(self, ctx, number):
        self.ctx = ctx
        self.page = number
        self.cells = []
        self.context = []

    def width(self, text, size, bold=False):
        import cairo
        self.ctx.select_font_face(self.FONT, cairo.FONT_SLANT_NORMAL,
                                  cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
        self.ctx.set_font_size(size)
        return self.ctx.text_extents(text).x_advance

    def _draw(self, into, x, y, text, size, bold, **extra):
        w = self.width(text, size, bold)
        self.ctx.move_to(x, y)
        self.ctx.show_text(text)
        into.append(dict(extra, page=self.page, text=text, x0=round(x, 2), x1=round(x + w, 2),
                         top=round(y - 0.8 * size, 2), bottom=round(y + 0.2 * size, 2),
                         size=size))
        return w

    def text(self, x, y, text, size=9.0, bold=False):
        self._draw(self.context, x, y, text, size, bold)

    def cell(self, row, column, x, y, text, value=None, align="left", size=9.0, bold=False):
        if align == "right":
            x -= self.width(text, size, bold)
        self._draw(self.cells, x, y, text, size, bold, row=row, column=column, value=value)

    def padded(self, y, x, parts, size=9.0):
        """Cells shown by one string padded with blanks (parts as in
        Page.cells_in_one_string)."""
        whole = "".join(p if isinstance(p, str) else p[2] for p in parts)
        self.width(whole, size)
        self.ctx.move_to(x, y)
        self.ctx.show_text(whole)
        at = x
        for p in parts:
            text = p if isinstance(p, str) else p[2]
            w = self.width(text, size)
            if not isinstance(p, str):
                self.cells.append(dict(page=self.page, text=text, x0=round(at, 2),
                                       x1=round(at + w, 2), top=round(y - 0.8 * size, 2),
                                       bottom=round(y + 0.2 * size, 2), size=size, row=p[0],
                                       column=p[1], value=p[3]))
            at += w


def cairo_report(new_page):
    """A cairo-printed page: a caption and a chart's labels beside a table
    whose number columns are two spaces apart, with minus signs, signed
    changes and a two-line header; below it rows padded with blanks
    ("200      100" in one string) and a date padded to a wide column."""
    p = new_page()
    size = 9.0
    p.text(LEFT, 60, "Figure 3 and Table 5. Harvest by district", 11, bold=True)
    two = p.width("  ", size)
    districts = ["Arden", "Brook", "Carrow", "Dunmore", "Ellery", "Fenwick"]
    # (value, printed text) of tonnes, change on year and yield.
    rows = [((48210, "48,210"), (0.032, "+3.2%"), (0.8, "0.80")),
            ((3915, "3,915"), (-0.12, "\u221212.0%"), (1.25, "1.25")),
            ((120400, "120,400"), (0.004, "+0.4%"), (25.0, "25.0")),
            ((77, "77"), (-0.005, "\u22120.5%"), (0.05, "0.05")),
            ((15020, "15,020"), (0.078, "+7.8%"), (3.5, "3.5")),
            ((640, "640"), (-1.0, "\u2212100.0%"), (0.0, "0.00"))]
    texts = [[t for _, t in row] for row in rows]
    heads = [("Tonnes", "harvested"), ("Change", "on year"), ("Yield", "t/ha")]
    label_right = LEFT + max(p.width(d, size) for d in districts + ["District"])
    rights, at = [], label_right
    for c in range(3):
        at += two + max([p.width(t[c], size) for t in texts]
                        + [p.width(h, size, True) for h in heads[c]])
        rights.append(at)
    y = 90
    p.cell(1, 1, LEFT, y + 11, "District", bold=True)
    for c, (a, b) in enumerate(heads):
        wa, wb = p.width(a, size, True), p.width(b, size, True)
        for line, (text, w) in enumerate(((a, wa), (b, wb))):
            p.ctx.move_to(rights[c] - w, y + 11 * line)
            p.ctx.show_text(text)
        p.cells.append(dict(page=p.page, text=a + " " + b, x0=round(rights[c] - max(wa, wb), 2),
                            x1=round(rights[c], 2), top=round(y - 0.8 * size, 2),
                            bottom=round(y + 11 + 0.2 * size, 2), size=size, row=1,
                            column=c + 2, value=None))
    y += 26
    for r, (d, row) in enumerate(zip(districts, rows), start=2):
        p.cell(r, 1, LEFT, y, d)
        for c, (v, shown) in enumerate(row):
            p.cell(r, c + 2, rights[c], y, shown, v, "right")
        y += 11
    # The chart beside the table: its axis labels, 3 em and more to the right.
    chart = rights[-1] + 40
    for i, label in enumerate(["Yield in tonnes per hectare", "Arden and Brook", "Carrow only",
                               "Dunmore to Fenwick", "Source: district returns"]):
        p.text(chart, 90 + 15 * i, label, 8)
    y += 20
    # Rows each shown by one padded string: the blanks between "200" and
    # "100" are narrower than 2 em, those after the date wider.
    p.padded(y, LEFT, [(20, 1, "Closed", None), " " * 14, (20, 2, "Sold", None), " " * 6,
                       (20, 3, "Kept", None)])
    y += 11
    padded = [("06/30/2015", 200, 100), ("07/31/2015", 45, 1250), ("08/31/2015", 310, 7)]
    for i, (date, a, b) in enumerate(padded):
        p.padded(y, LEFT, [(21 + i, 1, date, None), " " * 12, (21 + i, 2, str(a), a), " " * 6,
                           (21 + i, 3, str(b), b), " " * 20])
        y += 11
    y += 14
    from reportlab.lib.utils import simpleSplit
    for line in simpleSplit(BODY, SANS, 10, 420):
        p.text(LEFT, y, line, 10)
        y += 13


CASES = [
    ("report-annex", annex_in_body_text),
    ("report-beside-text", table_beside_text),
    ("report-signs", signs_and_shapes),
    ("report-one-string-rows", one_string_rows),
    ("report-cairo", cairo_report),
    ("report-calc", None),  # calc_report, printed by LibreOffice
    ("report-tight-columns", tight_columns),
]


def calc_report(ws):
    """A report laid out on a LibreOffice sheet: a title and body text lines
    overflowing across the columns, a table with a two-line header, narrow
    number columns, signed percentages, bracketed negatives and a Total row,
    and a column of notes beside the table. Returns the rows of the table
    (the rest is context)."""
    from openpyxl.styles import Alignment, Font
    widths = [11, 10, 8, 8, 8, 2, 20]
    from openpyxl.utils import get_column_letter
    for i, w in enumerate(widths, start=1):
        ws.column_dimensions[get_column_letter(i)].width = w
    ws.oddHeader.center.text = ""
    ws.oddFooter.center.text = ""
    ws.page_setup.orientation = "portrait"
    ws.page_setup.paperSize = ws.PAPERSIZE_A4
    ws.page_margins.left = ws.page_margins.right = 0.4
    ws["A1"] = "Quarterly review of applications"
    ws["A1"].font = Font(bold=True, size=12)
    ws["A2"] = "The committee reviewed the returns of the quarter by region."
    ws["A3"] = "The table gives the counts and the change on the same quarter last year."
    ws["A5"] = "Region"
    heads = ["Applications\nreceived", "Decided\nin time", "Change\non year", "Share\nof total"]
    for c, h in enumerate(heads, start=2):
        ws.cell(row=5, column=c, value=h).alignment = Alignment(wrap_text=True,
                                                                horizontal="right")
    ws.row_dimensions[5].height = 28
    formats = {2: "#,##0", 3: "#,##0;(#,##0)", 4: "+0.0%;-0.0%;0.0%", 5: "0.0%"}
    data = [("Spain", 100, 96, 0.032, 0.125), ("Italy", 40, -3, -0.014, 0.08),
            ("France", 855, 812, 0.0, 0.305), ("Greece", 1957, 1821, 0.125, 0.2),
            ("Portugal", 121, -12, -0.3, 0.09)]
    total = ("Total", sum(d[1] for d in data), sum(d[2] for d in data), 0.019,
             sum(d[4] for d in data))
    for r, row in enumerate(data + [total], start=6):
        for c, v in enumerate(row, start=1):
            cell = ws.cell(row=r, column=c, value=v)
            if c in formats:
                cell.number_format = formats[c]
            if row is total:
                cell.font = Font(bold=True)
    notes = ["Notes", "Counted when received,", "not when decided.", "Brackets: late files",
             "returned to the office.", "Shares of all regions."]
    for i, n in enumerate(notes):
        ws.cell(row=5 + i, column=7, value=n)
    ws["A13"] = "Applications decided late are reported again next quarter."
    return 5, 11  # first and last table row


# ---------------------------------------------------------------------------

def _write_cairo(name, build, outdir):
    import cairo
    path = os.path.join(outdir, name + ".pdf")
    surface = cairo.PDFSurface(path, PAGE_W, PAGE_H)
    surface.set_metadata(cairo.PDFMetadata.CREATE_DATE, "2016-01-01T00:00:00Z")
    ctx = cairo.Context(surface)
    pages = []

    def new_page():
        if pages:
            ctx.show_page()
        pages.append(CairoPage(ctx, len(pages) + 1))
        return pages[-1]

    build(new_page)
    surface.finish()
    return pages


def _word_boxes(pdf):
    """pdftotext's words with their boxes, per page, in its reading order."""
    import html
    import re
    import subprocess
    out = subprocess.run(["pdftotext", "-bbox", pdf, "-"], check=True,
                         stdout=subprocess.PIPE).stdout.decode("utf-8")
    pages = []
    for page in out.split("<page ")[1:]:
        words = []
        for m in re.finditer(r'<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" '
                             r'yMax="([\d.]+)">(.*?)</word>', page):
            words.append(dict(x0=float(m.group(1)), top=float(m.group(2)),
                              x1=float(m.group(3)), bottom=float(m.group(4)),
                              text=html.unescape(m.group(5))))
        pages.append(words)
    return pages


def _place(text, words, used):
    """The box of the first unused run of words that spells each line of
    text; None when the page does not print it."""
    box = None
    for line in text.split("\n"):
        want = line.split()
        for i in range(len(words) - len(want) + 1):
            run = list(range(i, i + len(want)))
            if any(k in used for k in run) or [words[k]["text"] for k in run] != want:
                continue
            used.update(run)
            part = dict(x0=min(words[k]["x0"] for k in run), x1=max(words[k]["x1"] for k in run),
                        top=min(words[k]["top"] for k in run),
                        bottom=max(words[k]["bottom"] for k in run))
            box = part if box is None else dict(
                x0=min(box["x0"], part["x0"]), x1=max(box["x1"], part["x1"]),
                top=min(box["top"], part["top"]), bottom=max(box["bottom"], part["bottom"]))
            break
        else:
            return None
    return box


def _write_calc(name, outdir):
    """Prints the sheet with LibreOffice and takes each cell's printed text
    from LibreOffice's own display of it (CSV as shown), its box from the
    printed page's words."""
    import csv
    import shutil
    import subprocess
    import tempfile
    import openpyxl
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Report"
    first, last = calc_report(ws)
    xlsx = os.path.join(outdir, name + ".xlsx")
    wb.save(xlsx)
    profile = tempfile.mkdtemp(prefix="lo-profile-", dir=outdir)
    env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
    try:
        for target in ("pdf", "csv:Text - txt - csv (StarCalc):9,34,76,1,,1033,false,true,true"):
            subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                            "--convert-to", target, "--outdir", outdir, xlsx], check=True,
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env,
                           timeout=300)
    finally:
        shutil.rmtree(profile, ignore_errors=True)
    with open(os.path.join(outdir, name + ".csv"), encoding="utf-8", newline="") as f:
        shown = list(csv.reader(f, delimiter="\t", quotechar='"'))
    words = _word_boxes(os.path.join(outdir, name + ".pdf"))[0]
    used = set()
    cells, context = [], []
    for row in ws.iter_rows():
        for c in row:
            if c.value is None:
                continue
            text = shown[c.row - 1][c.column - 1]
            box = _place(text, words, used)
            if box is None:
                raise SystemExit("reports: %s does not print %r" % (name, text))
            size = 12.0 if c.row == 1 else 11.0  # the default font, Calibri 11
            item = dict(page=1, text=" ".join(text.split()), size=size,
                        **{k: round(v, 2) for k, v in box.items()})
            if first <= c.row <= last and c.column < 7:
                number = isinstance(c.value, (int, float))
                cells.append(dict(item, row=c.row, column=c.column,
                                  value=c.value if number else None))
            else:
                context.append(item)
    with open(os.path.join(outdir, name + ".json"), "w") as f:
        json.dump({"name": name, "pages": 1, "cells": cells, "context": context}, f,
                  ensure_ascii=False, indent=1)


def _write(name, build, outdir):
    if build is None:
        _write_calc(name, outdir)
        return
    if name.endswith("-cairo"):
        pages = _write_cairo(name, build, outdir)
        _save_truth(name, pages, outdir)
        return
    from reportlab import rl_config
    rl_config.invariant = 1
    from reportlab.pdfbase import pdfmetrics
    from reportlab.pdfbase.ttfonts import TTFont
    from reportlab.pdfgen import canvas

    if UNI not in pdfmetrics.getRegisteredFontNames():
        pdfmetrics.registerFont(TTFont(UNI, "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"))
    path = os.path.join(outdir, name + ".pdf")
    c = canvas.Canvas(path, pagesize=(PAGE_W, PAGE_H), pageCompression=0)
    pages = []

    def new_page():
        if pages:
            c.showPage()
        pages.append(Page(c, len(pages) + 1))
        return pages[-1]

    build(new_page)
    c.save()
    _save_truth(name, pages, outdir)


def _save_truth(name, pages, outdir):
    cells = [cell for pg in pages for cell in pg.cells]
    context = [line for pg in pages for line in pg.context]
    with open(os.path.join(outdir, name + ".json"), "w") as f:
        json.dump({"name": name, "pages": len(pages), "cells": cells, "context": context}, f,
                  ensure_ascii=False, indent=1)


def _stamp():
    h = hashlib.sha256()
    with open(os.path.abspath(__file__), "rb") as f:
        h.update(f.read())
    return h.hexdigest()


def generate(outdir):
    outdir = os.path.abspath(outdir)
    os.makedirs(outdir, exist_ok=True)
    stamp_path = os.path.join(outdir, "stamp")
    if (os.path.exists(stamp_path) and open(stamp_path).read() == _stamp()
            and all(os.path.exists(os.path.join(outdir, n + ".pdf")) for n, _ in CASES)):
        return
    for name, build in CASES:
        _write(name, build, outdir)
    with open(stamp_path, "w") as f:
        f.write(_stamp())


if __name__ == "__main__":
    if len(sys.argv) != 2:
        raise SystemExit(__doc__)
    generate(sys.argv[1])
