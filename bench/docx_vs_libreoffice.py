#!/usr/bin/python3
"""Word documents of every readable PDF of a corpus folder, printed by
LibreOffice headless, against the source: page count (source pages ==
printed pages), the words of the document (every w:t of a paragraph, text
boxes included) against pdftotext's, and the share of words standing where
they stood (tests/e2e/docx_print.py: 3 pt + 2 % of the line's length across,
3 pt down).

    bench/docx_vs_libreoffice.py build/bin/corvala ../shared/corpus [work-folder] [--only NAME] [--reuse]

--reuse keeps the documents and prints of an earlier run in the work folder.

One line per file, then the totals and the files whose words differ.
"""
import collections
import os
import subprocess
import sys
import tempfile
import zipfile
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import docx_print  # noqa: E402

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"


def docx_words(path):
    root = ET.fromstring(zipfile.ZipFile(path).read("word/document.xml"))
    words = collections.Counter()

    def walk(element, buffer):
        if element.tag == W + "p":
            own = []
            for child in element:
                walk(child, own)
            words.update("".join(own).split())
            return
        if element.tag == W + "t" and buffer is not None:
            buffer.append(element.text or "")
        elif element.tag in (W + "tab", W + "br", W + "cr") and buffer is not None:
            buffer.append(" ")
        for child in element:
            walk(child, buffer)

    walk(root, None)
    return words


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    only = sys.argv[sys.argv.index("--only") + 1] if "--only" in sys.argv else None
    if only:
        args.remove(only)
    reuse = "--reuse" in sys.argv
    if len(args) < 2 or "-h" in sys.argv or "--help" in sys.argv:
        print(__doc__.strip())
        return 0 if "-h" in sys.argv or "--help" in sys.argv else 2
    corvala, corpus = args[0], args[1]
    work = args[2] if len(args) > 2 else tempfile.mkdtemp(prefix="docx-lo-")
    os.makedirs(work, exist_ok=True)
    jobs = []
    for root, _, files in os.walk(corpus):
        for name in sorted(files):
            if not name.lower().endswith(".pdf") or (only and only not in name):
                continue
            pdf = os.path.join(root, name)
            try:
                ref = docx_print.words(pdf)
            except subprocess.CalledProcessError:
                continue  # not readable (damaged or locked)
            out = os.path.join(work, name[:-4] + ".docx")
            if reuse and os.path.exists(out):
                jobs.append((pdf, out, ref))
                continue
            if os.path.exists(out):
                os.remove(out)
            subprocess.run([corvala, "convert", "-f", "docx", "-o", work, pdf],
                           capture_output=True, timeout=600)
            if os.path.exists(out):
                jobs.append((pdf, out, ref))
    def printed_path(d):
        return d[:-5] + ".pdf"

    stale = [d for _, d, _ in jobs if not (
        reuse and os.path.exists(printed_path(d)) and
        os.path.getmtime(printed_path(d)) >= os.path.getmtime(d))]
    for k in range(0, len(stale), 8):
        docx_print.print_with_libreoffice(stale[k:k + 8], work)
    printed = [printed_path(d) if os.path.exists(printed_path(d)) else None
               for _, d, _ in jobs]
    same_pages = total_words = within = on_line = 0
    differing = []
    for (pdf, out, ref), lo in zip(jobs, printed):
        name = os.path.relpath(pdf, corpus)
        ours = docx_words(out)
        missing, extra = sum((ref - ours).values()), sum((ours - ref).values())
        if missing or extra:
            differing.append((name, missing, extra, ref - ours, ours - ref))
        if lo is None:
            print("%-60s not printed" % name)
            continue
        src_pages, lo_pages = docx_print.pages(pdf), docx_print.pages(lo)
        same_pages += len(src_pages) == len(lo_pages)
        src_words, lo_words = docx_print.placed_words(pdf), docx_print.placed_words(lo)
        t, w = docx_print.position_counts(src_words, lo_words)
        _, v = docx_print.position_counts(src_words, lo_words, across=False)
        total_words += t
        within += w
        on_line += v
        print("%-60s pages %3d/%-3d words missing %5d extra %5d  in place %5.1f %%"
              "  on their line %5.1f %%" %
              (name, len(src_pages), len(lo_pages), missing, extra,
               100.0 * w / t if t else 100.0, 100.0 * v / t if t else 100.0), flush=True)
    n = len(jobs)
    print("\nfiles %d; same page count %d (%.1f %%); words in place %d of %d (%.1f %%),"
          " on their line %d (%.1f %%); files whose words differ %d" %
          (n, same_pages, 100.0 * same_pages / max(n, 1), within, total_words,
           100.0 * within / max(total_words, 1), on_line, 100.0 * on_line / max(total_words, 1),
           len(differing)))
    for name, missing, extra, m, e in differing:
        print("  %s: missing %d extra %d" % (name, missing, extra))
        print("    missing:", " ".join("%s x%d" % kv for kv in list(m.items())[:12]))
        print("    extra:  ", " ".join("%s x%d" % kv for kv in list(e.items())[:12]))
    return 0


if __name__ == "__main__":
    sys.exit(main())
