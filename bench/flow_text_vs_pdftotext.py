#!/usr/bin/python3
"""Plain-text output against pdftotext's (plain mode) on every readable PDF of
a corpus folder: the normalised Levenshtein ratio (1 - distance / longer
length) over whitespace-normalised text, per file, then the median and the
ten worst files. A second ratio leaves all whitespace out: it tells the
order and reading of the characters apart from where blanks fall (pdftotext
puts one after every subscript, for one).

    bench/flow_text_vs_pdftotext.py build/bin/corvala ../shared/corpus [work-folder]
"""
import os
import re
import statistics
import subprocess
import sys
import tempfile


def normalised(text):
    return re.sub(r"\s+", " ", text).strip()


def unspaced(text):
    return re.sub(r"\s+", "", text)


def levenshtein(a, b):
    """Edit distance by the bit-parallel algorithm (Myers, Hyyrö): one big
    integer holds a column of the table, so long texts take seconds."""
    if len(a) < len(b):
        a, b = b, a
    m = len(b)
    if m == 0:
        return len(a)
    peq = {}
    for i, c in enumerate(b):
        peq[c] = peq.get(c, 0) | (1 << i)
    full = (1 << m) - 1
    top = 1 << (m - 1)
    pv, mv, score = full, 0, m
    for c in a:
        eq = peq.get(c, 0)
        xv = eq | mv
        xh = (((eq & pv) + pv) ^ pv) | eq
        ph = (mv | ~(xh | pv)) & full
        mh = pv & xh
        if ph & top:
            score += 1
        elif mh & top:
            score -= 1
        ph = ((ph << 1) | 1) & full
        mh = (mh << 1) & full
        pv = (mh | ~(xv | ph)) & full
        mv = ph & xv
    return score


def ratio(a, b):
    longer = max(len(a), len(b))
    return 1.0 if longer == 0 else 1.0 - levenshtein(a, b) / longer


def main():
    if len(sys.argv) < 3 or sys.argv[1] in ("-h", "--help"):
        print(__doc__.strip())
        return 0 if len(sys.argv) > 1 and sys.argv[1] in ("-h", "--help") else 2
    corvala, corpus = sys.argv[1], sys.argv[2]
    work = sys.argv[3] if len(sys.argv) > 3 else tempfile.mkdtemp(prefix="flowtext-")
    results = []
    for root, _, files in os.walk(corpus):
        for name in sorted(files):
            if not name.lower().endswith(".pdf"):
                continue
            pdf = os.path.join(root, name)
            peer = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"],
                                  capture_output=True, timeout=300)
            if peer.returncode != 0:
                continue  # not readable (damaged or locked)
            out_dir = os.path.join(work, os.path.relpath(root, corpus))
            os.makedirs(out_dir, exist_ok=True)
            subprocess.run([corvala, "convert", "-f", "txt", "-o", out_dir, pdf],
                           capture_output=True, timeout=600)
            out = os.path.join(out_dir, name[:-4] + ".txt")
            ours = open(out, encoding="utf-8", errors="replace").read() \
                if os.path.exists(out) else ""
            theirs = peer.stdout.decode("utf-8", errors="replace")
            results.append((ratio(normalised(ours), normalised(theirs)),
                            ratio(unspaced(ours), unspaced(theirs)),
                            os.path.relpath(pdf, corpus)))
            print("%.4f  %.4f  %s" % results[-1], flush=True)
    if not results:
        print("no readable PDF under " + corpus)
        return 1
    results.sort()
    print("\nfiles %d, median ratio %.4f (without whitespace %.4f)" % (
        len(results), statistics.median(r for r, _, _ in results),
        statistics.median(r for _, r, _ in results)))
    print("ten worst:")
    for r, bare, name in results[:10]:
        print("  %.4f  %.4f  %s" % (r, bare, name))
    return 0


if __name__ == "__main__":
    sys.exit(main())
