#!/usr/bin/python3
"""What a converted Word document looks like printed: LibreOffice headless
prints it to PDF, and the printed pages, sizes, words and word boxes are
compared with the source PDF's (pdfinfo, pdftotext -bbox-layout).

A word stands where it stood when its printed box lies within the tolerance
of its source box on the same page: horizontally 3 pt + 2 % of the length of
the source line holding it (a substituted font of other widths drifts along a
line), vertically 3 pt (the left edges and the vertical centres are compared;
a substituted font has other ascents, so tops and bottoms move alone).

Words are paired per page and per text, nearest pairs first; a source word
without a printed twin on its page counts as out of place.
"""

import collections
import html
import os
import re
import subprocess

ABSOLUTE = 3.0
RELATIVE = 0.02


def pages(pdf):
    """Page sizes (width, height) in points."""
    info = subprocess.run(["pdfinfo", "-f", "1", "-l", "99999", pdf], check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          timeout=300).stdout.decode("utf-8", "replace")
    return [(float(w), float(h)) for w, h in
            re.findall(r"Page +\d+ size: +([0-9.]+) x ([0-9.]+)", info)]


def words(pdf):
    """The words pdftotext finds, order-insensitive."""
    text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                          timeout=300).stdout.decode("utf-8", "replace")
    return collections.Counter(text.split())


def placed_words(pdf):
    """Per page, a list of (text, x_min, y_centre, line_length)."""
    out = subprocess.run(["pdftotext", "-enc", "UTF-8", "-bbox-layout", pdf, "-"], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         timeout=300).stdout.decode("utf-8", "replace")
    # Read by pattern: pdftotext leaves some characters of a word's text
    # unescaped, so the output is not always well-formed XML.
    number = r'"([-0-9.]+)"'
    box = r"xMin=%s yMin=%s xMax=%s yMax=%s" % (number, number, number, number)
    result = []
    for page in out.split("<page ")[1:]:
        placed = []
        for line in re.finditer(r"<line %s>(.*?)</line>" % box, page, re.S):
            length = float(line.group(3)) - float(line.group(1))
            for w in re.finditer(r"<word %s>(.*?)</word>" % box, line.group(5), re.S):
                y = (float(w.group(2)) + float(w.group(4))) / 2
                text = html.unescape(w.group(5))
                placed.append((text, float(w.group(1)), y, length))
        result.append(placed)
    return result


def position_counts(source_pages, printed_pages, across=True):
    """(words of the source, words standing where they stood). With `across`
    false only the vertical place counts: the word is on its line, whatever
    the widths of a substituted font did to it along the line."""
    total = within = 0
    for k, source in enumerate(source_pages):
        printed = printed_pages[k] if k < len(printed_pages) else []
        total += len(source)
        by_text = collections.defaultdict(list)
        for text, x, y, _ in printed:
            by_text[text].append((x, y))
        mine = collections.defaultdict(list)
        for text, x, y, length in source:
            mine[text].append((x, y, length))
        for text, src in mine.items():
            dst = by_text.get(text, [])
            pairs = sorted((abs(a[0] - b[0]) + abs(a[1] - b[1]), i, j)
                           for i, a in enumerate(src) for j, b in enumerate(dst))
            used_src, used_dst = set(), set()
            for _, i, j in pairs:
                if i in used_src or j in used_dst:
                    continue
                used_src.add(i)
                used_dst.add(j)
                (sx, sy, length), (px, py) = src[i], dst[j]
                if (not across or abs(sx - px) <= ABSOLUTE + RELATIVE * length) and \
                        abs(sy - py) <= ABSOLUTE:
                    within += 1
    return total, within


def print_with_libreoffice(docx_paths, work):
    """Prints the documents to PDF into `work` in one LibreOffice run; returns
    the printed paths (a document LibreOffice could not print has none)."""
    work = os.path.abspath(work)
    docx_paths = [os.path.abspath(d) for d in docx_paths]
    env = dict(os.environ, HOME=work)
    subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", work] +
                   list(docx_paths), stdout=subprocess.PIPE, stderr=subprocess.STDOUT,
                   env=env, timeout=60 + 60 * len(docx_paths))
    printed = []
    for d in docx_paths:
        p = os.path.join(work, os.path.splitext(os.path.basename(d))[0] + ".pdf")
        printed.append(p if os.path.exists(p) else None)
    return printed
