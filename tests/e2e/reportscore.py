#!/usr/bin/python3
"""Scores corvala's workbooks of the report corpus (reports.py) cell by cell,
beside a naive split of `pdftotext -layout` lines at two or more spaces.

    reportscore.py --corvala BIN --work DIR [--verbose]

Per file and in total:
  found    table cells whose content is in a cell of its own, matched one to
           one (numbers by value, texts after collapsing white space)
  right    found cells whose right neighbour is found in the same row, further
           right
  lower    found cells whose lower neighbour is found in the same column,
           further down
  glued    (a) pairs of printed items (table cells, body text lines) at least
           2 em apart on the page whose texts share one sheet cell
  value    (b) numeric cells whose value differs from the printed number: a
           numeric cell matching no printed number one to one (a wrong value,
           or a number shown twice); numbers in body text excepted
  shown    (c) numeric cells with the right value whose displayed text differs
           from the printed text (grouping, decimals, percent, sign; the
           dash, en dash and minus sign count as one sign, blanks beside a
           percent sign are ignored)
  as-text  printed numbers found only as text cells
The totals pool the cells and pairs of all files.

The displayed text of a workbook cell is what LibreOffice shows: the workbook
is converted to CSV by LibreOffice headless with "save cell contents as
shown". For the pdftotext split a piece counts as numeric when it reads as a
number (see parse_printed) and shows itself.
"""

import argparse
import glob
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)
import reports  # noqa: E402

DASHES = "-\u2013\u2212"


def norm(text):
    return " ".join(str(text).replace("\u00a0", " ").replace("\u202f", " ").split())


def compact(text):
    return re.sub(r"\s+", "", str(text))


def number_key(v):
    return float("%.9g" % v)


def parse_printed(text):
    """The value of a number as a report prints it: grouped with commas or
    single spaces, signed with + - en dash or minus, or in parentheses, with a
    percent sign; None for anything else."""
    t = norm(text)
    negative = False
    if t.startswith("(") and t.endswith(")"):
        negative, t = True, t[1:-1].strip()
    if t[:1] in DASHES:
        negative, t = not negative, t[1:]
    elif t[:1] == "+":
        t = t[1:]
    percent = t.endswith("%")
    if percent:
        t = t[:-1].rstrip()
    if not re.fullmatch(r"\d{1,3}(,\d{3})+(\.\d+)?|\d{1,3}( \d{3})+(\.\d+)?|\d*\.\d+|\d+", t):
        return None
    v = float(t.replace(",", "").replace(" ", ""))
    if percent:
        v /= 100
    return -v if negative else v


def shown_form(text):
    t = norm(text)
    for d in DASHES:
        t = t.replace(d, "-")
    return re.sub(r"\s*%\s*", "%", t)


class Out:
    """One output cell: sheet position, the text it shows, its value when
    numeric."""

    def __init__(self, row, column, shown, value):
        self.row, self.column, self.shown, self.value = row, column, shown, value

    @property
    def numeric(self):
        return self.value is not None

    def texts(self):
        ts = [compact(self.shown)]
        if self.numeric:
            v = self.value
            ts.append("%d" % v if float(v).is_integer() else repr(v))
        return ts


# ---------------------------------------------------------------------------
# Readers

def shown_texts(xlsx_files, workdir):
    """{xlsx: {sheet name: [[text, ...], ...]}} as LibreOffice shows the cells."""
    import csv
    out = {x: {} for x in xlsx_files}
    if not xlsx_files:
        return out
    workdir = os.path.abspath(workdir)  # LibreOffice waits forever on a relative profile URL
    csvdir = tempfile.mkdtemp(prefix="shown-", dir=workdir)
    profile = tempfile.mkdtemp(prefix="lo-profile-", dir=workdir)
    env = dict(os.environ, LANG="en_US.UTF-8", LC_ALL="en_US.UTF-8")
    try:
        # Separator tab, UTF-8, cells as shown, every sheet to a file of its own.
        subprocess.run(["soffice", "-env:UserInstallation=file://" + profile, "--headless",
                        "--convert-to",
                        "csv:Text - txt - csv (StarCalc):9,34,76,1,,1033,false,true,true,false,"
                        "false,-1", "--outdir", csvdir] + xlsx_files,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, env=env,
                       timeout=600)
        import openpyxl
        for x in xlsx_files:
            base = os.path.splitext(os.path.basename(x))[0]
            names = openpyxl.load_workbook(x, read_only=True).sheetnames
            for name in names:
                path = os.path.join(csvdir, "%s-%s.csv" % (base, name))
                if len(names) == 1 and not os.path.exists(path):
                    path = os.path.join(csvdir, base + ".csv")
                with open(path, encoding="utf-8", newline="") as f:
                    out[x][name] = list(csv.reader(f, delimiter="\t", quotechar='"'))
    finally:
        shutil.rmtree(profile, ignore_errors=True)
        shutil.rmtree(csvdir, ignore_errors=True)
    return out


def read_workbook(xlsx, shown):
    import openpyxl
    wb = openpyxl.load_workbook(xlsx, data_only=True)
    cells, offset = [], 0
    for ws in wb.worksheets:
        grid = shown.get(ws.title, [])
        for row in ws.iter_rows():
            for c in row:
                v = c.value
                if v is None or (isinstance(v, str) and not v.strip()):
                    continue
                try:
                    text = grid[c.row - 1][c.column - 1]
                except IndexError:
                    text = str(v)
                numeric = isinstance(v, (int, float)) and not isinstance(v, bool)
                cells.append(Out(offset + c.row, c.column, text if numeric else str(v),
                                 float(v) if numeric else None))
        offset += ws.max_row
    return cells


def read_pdftotext(pdf):
    text = subprocess.run(["pdftotext", "-layout", "-enc", "UTF-8", pdf, "-"], check=True,
                          stdout=subprocess.PIPE).stdout.decode("utf-8")
    cells, r = [], 0
    for line in text.replace("\f", "\n").split("\n"):
        if not line.strip():
            continue
        r += 1
        for c, piece in enumerate(re.split(r" {2,}", line.strip()), start=1):
            cells.append(Out(r, c, piece, parse_printed(piece)))
    return cells


# ---------------------------------------------------------------------------
# Scoring

def match(truth, cells):
    """Truth index -> output index, one to one, in reading order on both
    sides: numbers by value, else by the text shown."""
    order = sorted(range(len(cells)), key=lambda i: (cells[i].row, cells[i].column))
    by_value, by_text = {}, {}
    for i in order:
        if cells[i].numeric:
            by_value.setdefault(number_key(cells[i].value), []).append(i)
        by_text.setdefault(norm(cells[i].shown), []).append(i)
    used, pairs = set(), {}
    ranked = sorted(range(len(truth)), key=lambda i: (truth[i]["page"], truth[i]["row"],
                                                      truth[i]["column"]))
    for numbers_first in (True, False):
        for i in ranked:
            t = truth[i]
            if i in pairs or (numbers_first and t["value"] is None):
                continue
            if numbers_first:
                candidates = by_value.get(number_key(t["value"]), [])
            else:
                candidates = by_text.get(norm(t["text"]), [])
            for c in candidates:
                if c not in used:
                    used.add(c)
                    pairs[i] = c
                    break
    return pairs


def neighbours(truth):
    """(cell, right neighbour) and (cell, lower neighbour) index pairs."""
    right, lower = [], []
    for i, a in enumerate(truth):
        same_row = [j for j, b in enumerate(truth) if b["page"] == a["page"]
                    and b["row"] == a["row"] and b["column"] > a["column"]]
        same_col = [j for j, b in enumerate(truth) if b["page"] == a["page"]
                    and b["column"] == a["column"] and b["row"] > a["row"]]
        if same_row:
            right.append((i, min(same_row, key=lambda j: truth[j]["column"])))
        if same_col:
            lower.append((i, min(same_col, key=lambda j: truth[j]["row"])))
    return right, lower


def _gap(a, b):
    """Gap between two boxes in points: horizontal for items on one line,
    vertical for items one above the other, None otherwise."""
    if a["top"] < b["bottom"] and b["top"] < a["bottom"]:
        return max(a["x0"], b["x0"]) - min(a["x1"], b["x1"])
    if a["x0"] < b["x1"] and b["x0"] < a["x1"]:
        return max(a["top"], b["top"]) - min(a["bottom"], b["bottom"])
    return None


def _between(a, b, m):
    """Whether m is printed in the gap between a and b."""
    if a["top"] < b["bottom"] and b["top"] < a["bottom"]:
        left, right = (a, b) if a["x0"] < b["x0"] else (b, a)
        return (m["x0"] >= left["x1"] - 0.5 and m["x1"] <= right["x0"] + 0.5
                and m["top"] < max(a["bottom"], b["bottom"])
                and m["bottom"] > min(a["top"], b["top"]))
    upper, lower = (a, b) if a["top"] < b["top"] else (b, a)
    return (m["top"] >= upper["bottom"] - 0.5 and m["bottom"] <= lower["top"] + 0.5
            and m["x0"] < max(a["x1"], b["x1"]) and m["x1"] > min(a["x0"], b["x0"]))


def far_pairs(items):
    """Pairs of printed items 2 em or more apart, one beside or above the
    other with nothing printed between them: the pairs no sheet cell may hold
    together."""
    pairs = []
    for i, a in enumerate(items):
        for j in range(i + 1, len(items)):
            b = items[j]
            if a["page"] != b["page"]:
                continue
            g = _gap(a, b)
            if g is None or g < 2 * max(a["size"], b["size"]):
                continue
            if not any(_between(a, b, m) for k, m in enumerate(items)
                       if k not in (i, j) and m["page"] == a["page"]):
                pairs.append((i, j))
    return pairs


def glued(a, b, cells):
    """Whether one cell holds the texts of a and b side by side (either
    order, with or without a blank between, starting and ending at word
    boundaries), or, for a numeric cell, their digits run together."""
    ta, tb = norm(a["text"]), norm(b["text"])
    pattern = re.compile(r"(^| )(%s ?%s|%s ?%s)( |$)" % (re.escape(ta), re.escape(tb),
                                                         re.escape(tb), re.escape(ta)))
    da, db = compact(ta).replace(",", ""), compact(tb).replace(",", "")
    for cell in cells:
        if pattern.search(norm(cell.shown)):
            return True
        if cell.numeric and any(da + db in t or db + da in t for t in cell.texts()):
            return True
    return False


def score(case, cells):
    truth = case["cells"]
    items = truth + case["context"]
    pairs = match(truth, cells)
    s = {"cells": len(truth), "found": len(pairs)}
    right, lower = neighbours(truth)

    def kept(links, same, further):
        n = 0
        for i, j in links:
            if i in pairs and j in pairs:
                a, b = cells[pairs[i]], cells[pairs[j]]
                if same(a) == same(b) and further(a) < further(b):
                    n += 1
        return n

    s["right"] = (kept(right, lambda c: c.row, lambda c: c.column), len(right))
    s["lower"] = (kept(lower, lambda c: c.column, lambda c: c.row), len(lower))
    far = far_pairs(items)
    glued_pairs = [(i, j) for i, j in far if glued(items[i], items[j], cells)]
    s["glued"] = len(glued_pairs)
    s["glued_examples"] = ["%s+%s" % (items[i]["text"], items[j]["text"]) for i, j in glued_pairs]
    s["far"] = len(far)
    matched_out = set(pairs.values())
    context_words = {w for line in case["context"] for w in norm(line["text"]).split()}
    wrong = [c for k, c in enumerate(cells) if c.numeric and k not in matched_out
             and norm(c.shown) not in context_words]
    s["value"] = len(wrong)
    s["value_examples"] = [c.shown for c in wrong]
    s["shown"] = 0
    s["as_text"] = 0
    s["shown_examples"] = []
    for i, k in pairs.items():
        t, c = truth[i], cells[k]
        if t["value"] is None:
            continue
        if not c.numeric:
            s["as_text"] += 1
        elif shown_form(c.shown) != shown_form(t["text"]):
            s["shown"] += 1
            s["shown_examples"].append("%s->%s" % (t["text"], c.shown))
    return s


# ---------------------------------------------------------------------------

COLUMNS = ("found", "right", "lower", "glued", "value", "shown", "as_text")


def _fmt(s):
    return "%5.1f%%  %5.1f%%  %5.1f%%  %5d  %5d  %5d  %7d" % (
        100.0 * s["found"] / max(s["cells"], 1),
        100.0 * s["right"][0] / max(s["right"][1], 1),
        100.0 * s["lower"][0] / max(s["lower"][1], 1),
        s["glued"], s["value"], s["shown"], s["as_text"])


def _add(total, s):
    for k in ("cells", "found", "glued", "value", "shown", "as_text", "far"):
        total[k] = total.get(k, 0) + s[k]
    for k in ("right", "lower"):
        a, b = total.get(k, (0, 0))
        total[k] = (a + s[k][0], b + s[k][1])


def run(corvala, work, verbose=False):
    corpus_dir = os.path.join(work, "reports")
    reports.generate(corpus_dir)
    cases = []
    for name, _ in reports.CASES:
        with open(os.path.join(corpus_dir, name + ".json")) as f:
            cases.append(json.load(f))
        for cell in cases[-1]["cells"]:
            # The truth holds together: a printed number reads as its value.
            if cell["value"] is not None and (
                    parse_printed(cell["text"]) is None
                    or number_key(parse_printed(cell["text"])) != number_key(cell["value"])):
                raise SystemExit("reports: %s prints %r for %r" % (name, cell["text"],
                                                                    cell["value"]))
    pdfs = [os.path.join(corpus_dir, c["name"] + ".pdf") for c in cases]
    outdir = os.path.join(work, "reports-out")
    shutil.rmtree(outdir, ignore_errors=True)
    os.makedirs(outdir)
    result = subprocess.run([corvala, "convert", "-f", "xlsx", "-o", outdir] + pdfs,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
    if result.returncode != 0:
        print(result.stdout.decode("utf-8", "replace"))
        print("reports: corvala failed on the report corpus")
        return 1
    xlsx = [os.path.join(outdir, c["name"] + ".xlsx") for c in cases]
    shown = shown_texts(xlsx, work)

    print("report corpus (%s): %d files, %d table cells" % (
        corvala, len(cases), sum(len(c["cells"]) for c in cases)))
    print("%-26s %-10s %s" % ("file", "output", "found   right   lower   "
                              "glued  value  shown  as-text"))
    totals = {"xlsx": {}, "pdftotext": {}}
    for case, pdf, x in zip(cases, pdfs, xlsx):
        for tool, cells in (("xlsx", read_workbook(x, shown[x])),
                            ("pdftotext", read_pdftotext(pdf))):
            s = score(case, cells)
            _add(totals[tool], s)
            print("%-26s %-10s %s" % (case["name"], tool, _fmt(s)))
            for kind in ("glued", "value", "shown"):
                if verbose and s[kind + "_examples"]:
                    print("    %s: %s" % (kind, ", ".join(s[kind + "_examples"])))
    for tool, t in totals.items():
        print("%-26s %-10s %s" % ("total", tool, _fmt(t)))
    print("(glued counts pairs of the %d printed pairs 2 em or more apart)" %
          totals["xlsx"]["far"])
    return 0


if __name__ == "__main__":
    ap = argparse.ArgumentParser(description=__doc__,
                                 formatter_class=argparse.RawDescriptionHelpFormatter)
    ap.add_argument("--corvala", required=True)
    ap.add_argument("--work", required=True)
    ap.add_argument("--verbose", action="store_true")
    a = ap.parse_args()
    sys.exit(run(a.corvala, a.work, a.verbose))
