#!/usr/bin/python3
"""Checks a converted Word document against its PDF through LibreOffice: the
document opens in python-docx, LibreOffice headless prints it to PDF with the
same number of pages of the same sizes (within 1 pt), the printed words are
the source's words (pdftotext), order-insensitive, and every word of the
pages named by --placed stands where it stood (docx_print.py gives the
tolerance); the share of words in place on all pages is printed.

    docx_roundtrip.py SOURCE.pdf OUTPUT.docx WORKDIR [--placed 1,3]

Prints each difference; the exit status is 1 when there is any.
"""

import os
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import docx_print  # noqa: E402


def main():
    source, docx_path, work = sys.argv[1:4]
    placed = []
    if "--placed" in sys.argv:
        placed = [int(k) for k in sys.argv[sys.argv.index("--placed") + 1].split(",")]
    import docx
    docx.Document(docx_path)
    # A folder of its own: the print takes the document's name, which may be
    # the source's, and must not replace it.
    out = os.path.join(work, "printed")
    os.makedirs(out, exist_ok=True)
    printed = docx_print.print_with_libreoffice([docx_path], out)[0]
    if printed is None:
        print("LibreOffice printed nothing")
        return 1
    problems = []
    a, b = docx_print.pages(source), docx_print.pages(printed)
    if len(a) != len(b):
        problems.append("pages: source %d, printed %d" % (len(a), len(b)))
    for k, (s, p) in enumerate(zip(a, b), start=1):
        if abs(s[0] - p[0]) > 1 or abs(s[1] - p[1]) > 1:
            problems.append("page %d: source %s, printed %s" % (k, s, p))
    wa, wb = docx_print.words(source), docx_print.words(printed)
    if wa != wb:
        problems.append("words only in the source: %s" % dict(wa - wb))
        problems.append("words only in the print: %s" % dict(wb - wa))
    src_words, lo_words = docx_print.placed_words(source), docx_print.placed_words(printed)
    total, within = docx_print.position_counts(src_words, lo_words)
    print("words in place: %d of %d" % (within, total))
    for k in placed:
        t, w = docx_print.position_counts(src_words[k - 1:k], lo_words[k - 1:k])
        if w != t:
            problems.append("page %d: words in place %d of %d" % (k, w, t))
    for p in problems:
        print(p)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
