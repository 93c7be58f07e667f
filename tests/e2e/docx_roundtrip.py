#!/usr/bin/python3
"""Checks a converted Word document against its PDF through LibreOffice: the
document opens in python-docx, LibreOffice headless prints it to PDF with the
same number of pages of the same sizes (within 1 pt), and the printed words
are the source's words (pdftotext), order-insensitive.

    docx_roundtrip.py SOURCE.pdf OUTPUT.docx WORKDIR

Prints each difference; the exit status is 1 when there is any.
"""

import collections
import os
import re
import subprocess
import sys


def pages(pdf):
    info = subprocess.run(["pdfinfo", "-f", "1", "-l", "9999", pdf], check=True,
                          stdout=subprocess.PIPE).stdout.decode("utf-8", "replace")
    return [(float(w), float(h)) for w, h in
            re.findall(r"Page +\d+ size: +([0-9.]+) x ([0-9.]+)", info)]


def words(pdf):
    text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], check=True,
                          stdout=subprocess.PIPE).stdout.decode("utf-8")
    return collections.Counter(text.split())


def main():
    source, docx_path, work = sys.argv[1:4]
    import docx
    docx.Document(docx_path)
    env = dict(os.environ, HOME=work)
    subprocess.run(["soffice", "--headless", "--convert-to", "pdf", "--outdir", work, docx_path],
                   check=True, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, env=env,
                   timeout=180)
    printed = os.path.join(work, os.path.splitext(os.path.basename(docx_path))[0] + ".pdf")
    problems = []
    a, b = pages(source), pages(printed)
    if len(a) != len(b):
        problems.append("pages: source %d, printed %d" % (len(a), len(b)))
    for k, (s, p) in enumerate(zip(a, b), start=1):
        if abs(s[0] - p[0]) > 1 or abs(s[1] - p[1]) > 1:
            problems.append("page %d: source %s, printed %s" % (k, s, p))
    wa, wb = words(source), words(printed)
    if wa != wb:
        problems.append("words only in the source: %s" % dict(wa - wb))
        problems.append("words only in the print: %s" % dict(wb - wa))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
