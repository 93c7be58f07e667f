#!/usr/bin/python3
"""Compares Word documents or presentations converted from one-feature PDFs
with their sources through LibreOffice.

    docx_graphics.py FOLDER [docx|pptx]

FOLDER holds NAME.pdf and NAME.docx (or NAME.pptx) for every line of FOLDER/cases.txt:
"NAME words|shapes [X0 Y0 X1 Y1 THRESHOLD]": whether the printed words are
compared with the source's, and a region in points from the page's top-left
corner with the largest mean grey-level difference allowed there. Each document must open in python-docx (a presentation in its OPC loader);
LibreOffice prints
them all to PDF; every word of the source must be printed within 10 points of
its place (centres compared), and the region rendered by pdftoppm at 50 dpi
must differ by no more than the threshold. FOLDER/side-by-side/NAME.png shows
the source and the print next to each other. Prints each problem; the exit
status is 1 when there is any.
"""

import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

import docx
from docx.opc.package import OpcPackage
from PIL import Image, ImageChops, ImageStat

TOLERANCE = 10.0
DPI = 50


def words(pdf):
    """(text, centre x, centre y) of every word, points from the top-left."""
    out = subprocess.run(["pdftotext", "-bbox", "-f", "1", "-l", "1", pdf, "-"], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode("utf-8")
    out = re.sub(r"<!DOCTYPE[^>]*>", "", out)
    root = ET.fromstring(out)
    found = []
    for w in root.iter("{http://www.w3.org/1999/xhtml}word"):
        x0, y0, x1, y1 = (float(w.get(k)) for k in ("xMin", "yMin", "xMax", "yMax"))
        found.append((w.text or "", (x0 + x1) / 2, (y0 + y1) / 2))
    return found


def render(pdf, stem):
    subprocess.run(["pdftoppm", "-r", str(DPI), "-f", "1", "-l", "1", "-singlefile", "-png",
                    pdf, stem], check=True)
    return Image.open(stem + ".png").convert("L")


def page_count(pdf):
    info = subprocess.run(["pdfinfo", pdf], check=True, stdout=subprocess.PIPE).stdout
    return int(re.search(rb"Pages: +(\d+)", info).group(1))


def main():
    folder = sys.argv[1]
    kind = sys.argv[2] if len(sys.argv) > 2 else "docx"
    cases = []
    with open(os.path.join(folder, "cases.txt")) as f:
        for line in f:
            parts = line.split()
            if parts:
                cases.append((parts[0], parts[1] == "words", [float(v) for v in parts[2:]]))
    printed_dir = os.path.join(folder, "printed")
    pictures = os.path.join(folder, "side-by-side")
    os.makedirs(printed_dir, exist_ok=True)
    os.makedirs(pictures, exist_ok=True)
    problems = []
    for name, _, _ in cases:
        if kind == "pptx":
            OpcPackage.open(os.path.join(folder, name + ".pptx"))
        else:
            docx.Document(os.path.join(folder, name + ".docx"))
    env = dict(os.environ, HOME=folder)
    subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", printed_dir] +
                   [os.path.join(folder, name + "." + kind) for name, _, _ in cases],
                   check=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env,
                   timeout=600)
    for name, compare_words, region in cases:
        source = os.path.join(folder, name + ".pdf")
        printed = os.path.join(printed_dir, name + ".pdf")
        if not os.path.exists(printed):
            problems.append("%s: LibreOffice printed nothing" % name)
            continue
        if kind == "pptx" and page_count(printed) != 1:
            problems.append("%s: %d pages printed" % (name, page_count(printed)))
        seen = words(printed)
        for text, x, y in words(source) if compare_words else []:
            near = [(abs(x - px) + abs(y - py), px, py) for t, px, py in seen if t == text]
            if not near:
                problems.append("%s: %r not printed (printed: %s)" %
                                (name, text, " ".join(t for t, _, _ in seen)))
                continue
            d, px, py = min(near)
            if abs(x - px) > TOLERANCE or abs(y - py) > TOLERANCE:
                problems.append("%s: %r at (%.0f, %.0f), printed at (%.0f, %.0f)" %
                                (name, text, x, y, px, py))
        a = render(source, os.path.join(pictures, name + "-source"))
        b = render(printed, os.path.join(pictures, name + "-printed"))
        both = Image.new("L", (a.width + b.width + 4, max(a.height, b.height)), 128)
        both.paste(a, (0, 0))
        both.paste(b, (a.width + 4, 0))
        both.save(os.path.join(pictures, name + ".png"))
        os.remove(os.path.join(pictures, name + "-source.png"))
        os.remove(os.path.join(pictures, name + "-printed.png"))
        if region:
            x0, y0, x1, y1, threshold = region
            box = tuple(int(round(v * DPI / 72.0)) for v in (x0, y0, x1, y1))
            diff = ImageStat.Stat(ImageChops.difference(a.crop(box), b.crop(box))).mean[0]
            if diff > threshold:
                problems.append("%s: region differs by %.1f (at most %.1f)" %
                                (name, diff, threshold))
            else:
                print("%s: region differs by %.1f" % (name, diff))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
