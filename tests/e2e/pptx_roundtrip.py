#!/usr/bin/python3
"""Checks a converted presentation against its PDF through LibreOffice: the
package opens in python-docx's OPC loader, LibreOffice Impress prints it to
PDF with one page per source page, every word of each source page (pdftotext)
stands on its slide within 10 pt of where the source has it (pages of another
size than the first are fitted into the slide, scaled and centred), and the
inked region of each printed slide (pdftoppm) matches the source's within
10 pt.

    pptx_roundtrip.py SOURCE.pdf OUTPUT.pptx WORKDIR

Prints each difference; the exit status is 1 when there is any.
"""

import os
import re
import subprocess
import sys
import xml.etree.ElementTree as ET

TOLERANCE = 10.0
XHTML = "{http://www.w3.org/1999/xhtml}"


def rotations(pdf):
    info = subprocess.run(["pdfinfo", "-f", "1", "-l", "9999", pdf], check=True,
                          stdout=subprocess.PIPE).stdout.decode("utf-8", "replace")
    return [int(r) % 360 for r in re.findall(r"Page +\d+ rot: +(-?\d+)", info)]


def pages(pdf):
    """[((width, height) as displayed, [(word, left, top) as displayed, ...]) per page]"""
    html = subprocess.run(["pdftotext", "-bbox", "-enc", "UTF-8", pdf, "-"], check=True,
                          stdout=subprocess.PIPE, stderr=subprocess.DEVNULL).stdout.decode("utf-8")
    root = ET.fromstring(html)
    out = []
    for page, rot in zip(root.iter(XHTML + "page"), rotations(pdf)):
        W, H = float(page.get("width")), float(page.get("height"))
        # Words stand where the turned page shows them; the page's size is
        # given unturned.
        words = [(w.text or "", float(w.get("xMin")), float(w.get("yMin")))
                 for w in page.iter(XHTML + "word")]
        out.append(((H, W) if rot in (90, 270) else (W, H), words))
    return out


def ink(pdf, page, size, work, name):
    """The bounding box (points) of what is not white on a page, or None."""
    from PIL import Image
    base = os.path.join(work, name)
    subprocess.run(["pdftoppm", "-r", "36", "-f", str(page), "-l", str(page), "-singlefile",
                    "-png", pdf, base], check=True)
    image = Image.open(base + ".png").convert("L").point(lambda v: 255 if v < 240 else 0)
    box = image.getbbox()
    if box is None:
        return None
    scale = size[0] / image.size[0]
    return tuple(v * scale for v in box)


def main():
    source, pptx, work = sys.argv[1:4]
    from docx.opc.package import OpcPackage
    OpcPackage.open(pptx)
    env = dict(os.environ, HOME=work)
    subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", work, pptx],
                   check=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env,
                   timeout=180)
    printed = os.path.join(work, os.path.splitext(os.path.basename(pptx))[0] + ".pdf")
    problems = []
    source_pages, printed_pages = pages(source), pages(printed)
    sizes, slides = [p[0] for p in source_pages], [p[0] for p in printed_pages]
    if len(sizes) != len(slides):
        problems.append("pages: source %d, slides %d" % (len(sizes), len(slides)))
    slide = sizes[0]
    source_words, printed_words = [p[1] for p in source_pages], [p[1] for p in printed_pages]
    for k, (size, shown) in enumerate(zip(sizes, slides), start=1):
        if abs(shown[0] - slide[0]) > 1 or abs(shown[1] - slide[1]) > 1:
            problems.append("slide %d: %s, the first page is %s" % (k, shown, slide))
        s = min(slide[0] / size[0], slide[1] / size[1])
        dx, dy = (slide[0] - size[0] * s) / 2, (slide[1] - size[1] * s) / 2
        left = list(printed_words[k - 1])
        for word, x, y in source_words[k - 1]:
            want = (dx + x * s, dy + y * s)
            match = [w for w in left if w[0] == word and abs(w[1] - want[0]) <= TOLERANCE
                     and abs(w[2] - want[1]) <= TOLERANCE]
            if not match:
                near = [w for w in left if w[0] == word]
                problems.append("slide %d: %r at (%.1f, %.1f) not found; printed at %s"
                                % (k, word, want[0], want[1],
                                   [(round(w[1], 1), round(w[2], 1)) for w in near][:3]))
            else:
                left.remove(match[0])
        a = ink(source, k, size, work, "source-%d" % k)
        b = ink(printed, k, slide, work, "slide-%d" % k)
        if a is not None:
            a = (dx + a[0] * s, dy + a[1] * s, dx + a[2] * s, dy + a[3] * s)
        if (a is None) != (b is None) or (a and any(abs(u - v) > TOLERANCE for u, v in zip(a, b))):
            problems.append("slide %d: inked region %s, source %s" % (k, b, a))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
