#!/usr/bin/python3
"""Compares the words of a converted spreadsheet with pdftotext's words of the
same PDF, order-insensitive: every word the same number of times. A word that
reads as a number counts by its value, so 1,234.50 in the PDF and the numeric
cell 1234.5 are the same word.

    words.py FILE.pdf OUTPUT.xlsx|OUTPUT.docx|OUTPUT.csv-folder

Prints the words found on one side only; the exit status is 1 when there are any.
"""

import collections
import csv
import glob
import io
import os
import subprocess
import sys

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from acceptance import parse_number  # noqa: E402


def key(word):
    n = parse_number(word)
    return "%.9g" % n if n is not None else word


def pdf_words(pdf):
    text = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], check=True,
                          stdout=subprocess.PIPE).stdout.decode("utf-8")
    return collections.Counter(key(w) for w in text.split())


def output_words(path):
    words = collections.Counter()
    if os.path.isdir(path):
        for f in glob.glob(os.path.join(path, "Table *.csv")):
            with open(f, "rb") as fh:
                text = fh.read().decode("utf-16")
            for row in csv.reader(io.StringIO(text, newline=""), delimiter="\t", quotechar='"'):
                for value in row:
                    words.update(key(w) for w in value.split())
        return words
    if path.endswith(".docx"):
        import docx
        for p in docx.Document(path).paragraphs:
            words.update(key(w) for w in p.text.split())
        return words
    import openpyxl
    for ws in openpyxl.load_workbook(path).worksheets:
        for row in ws.iter_rows():
            for c in row:
                v = c.value
                if v is None:
                    continue
                if isinstance(v, (int, float)) and not isinstance(v, bool):
                    words["%.9g" % v] += 1
                else:
                    words.update(key(w) for w in str(v).split())
    return words


def main():
    if len(sys.argv) != 3:
        raise SystemExit(__doc__)
    ref, ours = pdf_words(sys.argv[1]), output_words(sys.argv[2])
    missing, extra = ref - ours, ours - ref
    print("%d words; missing %d, extra %d" % (sum(ref.values()), sum(missing.values()),
                                              sum(extra.values())))
    if missing:
        print("missing:", " ".join("%s x%d" % kv for kv in sorted(missing.items())[:40]))
    if extra:
        print("extra:", " ".join("%s x%d" % kv for kv in sorted(extra.items())[:40]))
    return 1 if missing or extra else 0


if __name__ == "__main__":
    sys.exit(main())
