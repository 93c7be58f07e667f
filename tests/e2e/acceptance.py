#!/usr/bin/python3
"""Round trip of the acceptance corpus: known tables printed to PDF (corpus.py),
converted back by corvala to xlsx and to csv page files, read back and scored
against the known cells, side by side with the same scores for
`pdftotext -layout` (its lines split on runs of two or more spaces).

    acceptance.py --corvala BIN --work DIR [--must-pass] [--verbose]

The criteria, each with precision and recall (pairs of cells for rows and
columns, so a split or a merge costs what it breaks):
  cells    every non-empty source cell appears exactly once: text after
           collapsing white space, numbers by value
  rows     cells of one source row stay in one row, in their order
  columns  body cells of one source column stay in one column
  numbers  numeric source cells are numeric with the same value (for text
           outputs: the text reads as that number)

The exit status is 1 when a must-pass case scores below 100 % in xlsx or csv.
Without --must-pass the report corpus (reports.py, tables as reports print
them) is scored too, by reportscore.py.
"""

import argparse
import csv
import glob
import io
import json
import os
import re
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, HERE)
import corpus  # noqa: E402
import reportscore  # noqa: E402

CURRENCY = "$€¥￥"


def parse_number(text):
    """The value of a number as a table shows it: plain or grouped, with a
    point or a comma for decimals, a currency symbol before or after, a
    percent sign; none for anything else."""
    t = " ".join(text.replace("\u00a0", " ").split())
    if not t:
        return None
    negative = False
    if t.startswith("-"):
        negative, t = True, t[1:].strip()
    if t and t[0] in CURRENCY:
        t = t[1:].strip()
        if t.startswith("-") and not negative:
            negative, t = True, t[1:].strip()
    elif t and t[-1] in CURRENCY:
        t = t[:-1].strip()
    percent = t.endswith("%")
    if percent:
        t = t[:-1].strip()
    if re.fullmatch(r"\d{1,3}(,\d{3})+(\.\d+)?|\d+(\.\d+)?", t):
        v = float(t.replace(",", ""))
    elif re.fullmatch(r"\d{1,3}(\.\d{3})+(,\d+)?|\d+,\d+", t):
        v = float(t.replace(".", "").replace(",", "."))
    else:
        return None
    if percent:
        v /= 100
    return -v if negative else v


def number_key(v):
    return ("n", float("%.9g" % v))


def text_key(s):
    return ("t", " ".join(str(s).split()))


class Cell:
    """One output cell: position, text, the number it shows (a numeric cell's
    value, or its text read as a number) and whether it counts as numeric (in
    xlsx: a numeric cell; in text outputs: text that reads as a number)."""

    def __init__(self, row, column, text, number, numeric):
        self.row, self.column, self.text = row, column, text
        self.number, self.numeric = number, numeric

    def keys(self):
        ks = []
        if self.text is not None and self.text.strip():
            ks.append(text_key(self.text))
        if self.number is not None:
            ks.append(number_key(self.number))
        return ks


# ---------------------------------------------------------------------------
# Readers: every page (sheet, page file) below the one before.

def read_xlsx(path):
    import openpyxl
    wb = openpyxl.load_workbook(path, data_only=True)
    cells, offset = [], 0
    for ws in wb.worksheets:
        for row in ws.iter_rows():
            for c in row:
                v = c.value
                if v is None or (isinstance(v, str) and not v.strip()):
                    continue
                if isinstance(v, (int, float)) and not isinstance(v, bool):
                    cells.append(Cell(offset + c.row, c.column, None, float(v), True))
                else:
                    cells.append(Cell(offset + c.row, c.column, str(v), parse_number(str(v)),
                                      False))
        offset += ws.max_row
    return cells


def read_csv_folder(path):
    files = glob.glob(os.path.join(path, "Table *.csv"))
    files.sort(key=lambda f: int(re.search(r"Table (\d+)\.csv$", f).group(1)))
    cells, offset = [], 0
    for f in files:
        with open(f, "rb") as fh:
            text = fh.read().decode("utf-16")
        # Tab-separated, with texts holding a comma, semicolon, line feed or
        # quotation mark quoted as in CSV.
        lines = list(csv.reader(io.StringIO(text, newline=""), delimiter="\t", quotechar='"'))
        for r, line in enumerate(lines, start=1):
            for c, value in enumerate(line, start=1):
                if value.strip():
                    n = parse_number(value)
                    cells.append(Cell(offset + r, c, value, n, n is not None))
        offset += len(lines)
    return cells


def read_pdftotext(pdf):
    out = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", pdf, "-"], check=True,
                         stdout=subprocess.PIPE).stdout.decode("utf-8")
    cells, r = [], 0
    for line in out.replace("\f", "\n").split("\n"):
        if not line.strip():
            continue
        r += 1
        for c, value in enumerate(re.split(r" {2,}", line.strip()), start=1):
            n = parse_number(value)
            cells.append(Cell(r, c, value, n, n is not None))
    return cells


# ---------------------------------------------------------------------------
# Scoring

class Mean:
    """The mean of the cases' percentages, so a long table counts as much as
    a short one."""

    def __init__(self):
        self.scores = []

    def add(self, score):
        self.scores.append(score)

    def pr(self, criterion):
        if not self.scores:
            return 100.0, 100.0
        ps = [s.pr(criterion) for s in self.scores]
        return sum(p for p, _ in ps) / len(ps), sum(r for _, r in ps) / len(ps)


class Score:
    """Numerators and denominators of precision and recall, per criterion."""
    CRITERIA = ("cells", "rows", "columns", "numbers")

    def __init__(self):
        self.v = {k: [0, 0, 0, 0] for k in self.CRITERIA}  # p_num, p_den, r_num, r_den

    def add(self, criterion, p_num, p_den, r_num, r_den):
        s = self.v[criterion]
        s[0] += p_num
        s[1] += p_den
        s[2] += r_num
        s[3] += r_den

    def pr(self, criterion):
        s = self.v[criterion]
        p = 100.0 * s[0] / s[1] if s[1] else 100.0
        r = 100.0 * s[2] / s[3] if s[3] else 100.0
        return p, r

    def perfect(self):
        return all(self.pr(k) == (100.0, 100.0) for k in self.CRITERIA)


def match(known, cells):
    """Source cell index -> output cell index. Cells of one key are paired in
    reading order on both sides."""
    by_key = {}
    for i, c in enumerate(sorted(range(len(cells)), key=lambda i: (cells[i].row,
                                                                   cells[i].column))):
        for k in cells[c].keys():
            by_key.setdefault(k, []).append(c)
    used, pairs = set(), {}
    order = sorted(range(len(known)), key=lambda i: (known[i]["row"], known[i]["column"]))
    for i in order:
        k = known[i]
        key = number_key(k["value"]) if k["number"] else text_key(k["value"])
        for c in by_key.get(key, []):
            if c not in used:
                used.add(c)
                pairs[i] = c
                break
    return pairs


def pair_score(score, criterion, groups_src, group_out, ordered):
    """Pairs of matched cells in one source group against pairs in one output
    group; with `ordered`, a kept pair must keep its order too."""
    src_pairs, kept = 0, 0
    for members in groups_src.values():
        for a in range(len(members)):
            for b in range(a + 1, len(members)):
                src_pairs += 1
                (sa, oa), (sb, ob) = members[a], members[b]
                if oa is None or ob is None:
                    continue
                if group_out(oa) == group_out(ob):
                    if not ordered or (sa < sb) == (oa[1] < ob[1]):
                        kept += 1
    return src_pairs, kept


def score_case(case, cells):
    known = case["cells"]
    pairs = match(known, cells)
    s = Score()
    s.add("cells", len(pairs), len(cells), len(pairs), len(known))

    def out(i):
        c = pairs.get(i)
        return None if c is None else (cells[c].row, cells[c].column)

    # Rows: source rows against output rows, in order.
    rows = {}
    for i, k in enumerate(known):
        rows.setdefault(k["row"], []).append((k["column"], out(i)))
    src_pairs, kept = pair_score(s, "rows", rows, lambda o: o[0], True)
    out_pairs = _output_pairs([out(i) for i in pairs], lambda o: o[0])
    s.add("rows", kept, out_pairs, kept, src_pairs)

    # Columns: body cells only; headers may span columns.
    cols = {}
    body = [i for i, k in enumerate(known) if k["row"] > case["header_rows"]]
    for i in body:
        cols.setdefault(known[i]["column"], []).append((known[i]["row"], out(i)))
    src_pairs, kept = pair_score(s, "columns", cols, lambda o: o[1], False)
    out_pairs = _output_pairs([out(i) for i in body if i in pairs], lambda o: o[1])
    s.add("columns", kept, out_pairs, kept, src_pairs)

    # Numbers.
    numeric_out = sum(1 for c in cells if c.numeric)
    right = 0
    for i, k in enumerate(known):
        if k["number"] and i in pairs:
            c = cells[pairs[i]]
            if c.numeric and number_key(c.number) == number_key(k["value"]):
                right += 1
    s.add("numbers", right, numeric_out, right, sum(1 for k in known if k["number"]))
    return s


def _output_pairs(positions, group):
    groups = {}
    for p in positions:
        groups[group(p)] = groups.get(group(p), 0) + 1
    return sum(n * (n - 1) // 2 for n in groups.values())


# ---------------------------------------------------------------------------

def convert(corvala, pdfs, fmt, outdir):
    os.makedirs(outdir, exist_ok=True)
    for old in glob.glob(os.path.join(outdir, "*")):
        subprocess.run(["rm", "-rf", old], check=True)
    result = subprocess.run([corvala, "convert", "-f", fmt, "-o", outdir] + pdfs,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    return result.returncode, result.stdout.decode("utf-8", "replace")


def run(args):
    corpus_dir = os.path.join(args.work, "corpus")
    corpus.generate(corpus_dir)
    cases = []
    for c in corpus.CASES:
        if args.must_pass and not c.must_pass:
            continue
        with open(os.path.join(corpus_dir, c.name + ".json")) as f:
            cases.append(json.load(f))
    pdfs = [os.path.join(corpus_dir, c["name"] + ".pdf") for c in cases]

    tools = {}
    for fmt in ("xlsx", "csv"):
        outdir = os.path.join(args.work, "out-" + fmt)
        code, log = convert(args.corvala, pdfs, fmt, outdir)
        if code != 0:
            print(log)
            print("acceptance: corvala failed on the corpus (%s)" % fmt)
            return 1
        reader = read_xlsx if fmt == "xlsx" else read_csv_folder
        tools[fmt] = {c["name"]: reader(os.path.join(outdir, c["name"] + "." + fmt))
                      for c in cases}
    tools["pdftotext"] = {c["name"]: read_pdftotext(p) for c, p in zip(cases, pdfs)}

    failed = False
    table = []
    for set_name, members in (("must-pass", [c for c in cases if c["must_pass"]]),
                              ("scored", [c for c in cases if not c["must_pass"]])):
        if not members:
            continue
        for tool in ("xlsx", "csv", "pdftotext"):
            total = Mean()
            for c in members:
                s = score_case(c, tools[tool][c["name"]])
                total.add(s)
                if args.verbose:
                    table.append(("  " + c["name"], tool, s))
                if set_name == "must-pass" and tool != "pdftotext" and not s.perfect():
                    failed = True
                    print("MUST-PASS FAILED: %s (%s) %s" % (c["name"], tool, _line(s)))
            table.append((set_name, tool, total))

    print("%-22s %-10s %s" % ("set", "output", "  ".join("%-13s" % k for k in Score.CRITERIA)))
    print("%-22s %-10s %s" % ("", "", "  ".join("%-13s" % "  P      R" for _ in Score.CRITERIA)))
    for name, tool, s in table:
        print("%-22s %-10s %s" % (name, tool, _line(s)))
    if not args.must_pass:
        print()
        if reportscore.run(args.corvala, args.work, args.verbose) != 0:
            failed = True
    return 1 if failed else 0


def _line(s):
    return "  ".join("%5.1f  %5.1f " % s.pr(k) for k in Score.CRITERIA)


if __name__ == "__main__":
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--corvala", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--must-pass", action="store_true")
    ap.add_argument("--verbose", action="store_true")
    sys.exit(run(ap.parse_args()))
