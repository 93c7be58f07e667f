#!/usr/bin/python3
"""Word (or slide) documents of every readable PDF of a corpus folder, printed
by LibreOffice headless, against the source.

    bench/docx_vs_libreoffice.py build/bin/corvala ../shared/corpus [work-folder]
        [--format docx|pptx] [--only NAME] [--reuse] [--jobs N] [--timeout S]
        [--json FILE]

The first figures, kept as they were: page count (source pages == printed
pages), the words of the document (every w:t or a:t of a paragraph, text boxes
included) against pdftotext's, and the share of words standing where they
stood on the page of the same index (tests/e2e/docx_print.py: 3 pt + 2 % of
the line's length across, 3 pt down) or at least on their line.

Beside them, a measure a reader would agree with, where one spilled page or a
heading a few points taller does not misplace everything after it:
  pages     files whose printed page count differs, and by how many pages;
  whole     source lines of two or more words printed on one line (the
            line's words in order inside one printed line, anywhere);
  order     the words in the document's own order against pdftotext's reading
            of the source: longest common subsequence over the whole document
            (`order on print`: the same with pdftotext's reading of the print);
  placed    per source page, the printed page holding most of its words; the
            median offset of its words there is removed (and reported), then a
            word is in place within half its height down and max(its height,
            5 % of its line's length) across;
  LO s      seconds LibreOffice takes to open and print the document.
Totals are word-weighted (lines for `whole`), with the median of the files'
shares beside them.

Each document is printed by its own LibreOffice run (at most --jobs at once,
default 2, each with a private profile in the work folder). A print is kept in
the work folder with the document's checksum and time, and reused while the
document is the same; --reuse also keeps the documents of an earlier run
instead of converting again.
"""
import collections
import concurrent.futures
import hashlib
import html
import json
import os
import re
import signal
import statistics
import subprocess
import sys
import tempfile
import time
import zipfile
import xml.etree.ElementTree as ET

sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "e2e"))
import docx_print  # noqa: E402

W = "{http://schemas.openxmlformats.org/wordprocessingml/2006/main}"
A = "{http://schemas.openxmlformats.org/drawingml/2006/main}"
CACHE_VERSION = 1


# --- the document's own words --------------------------------------------

def docx_sequence(path):
    """Words of the document in its own order: a paragraph's words when the
    paragraph ends, so a text box anchored in a paragraph reads before it."""
    root = ET.fromstring(zipfile.ZipFile(path).read("word/document.xml"))
    sequence = []

    def walk(element, buffer):
        if element.tag == W + "p":
            own = []
            for child in element:
                walk(child, own)
            sequence.extend("".join(own).split())
            return
        if element.tag == W + "t" and buffer is not None:
            buffer.append(element.text or "")
        elif element.tag in (W + "tab", W + "br", W + "cr") and buffer is not None:
            buffer.append(" ")
        for child in element:
            walk(child, buffer)

    walk(root, None)
    return sequence


def pptx_sequence(path):
    """Words of the slides in slide order, shapes in their order."""
    archive = zipfile.ZipFile(path)
    slides = sorted((int(m.group(1)), n) for n in archive.namelist()
                    for m in [re.fullmatch(r"ppt/slides/slide(\d+)\.xml", n)] if m)
    sequence = []
    for _, name in slides:
        root = ET.fromstring(archive.read(name))
        for paragraph in root.iter(A + "p"):
            own = []
            for element in paragraph.iter():
                if element.tag == A + "t":
                    own.append(element.text or "")
                elif element.tag in (A + "br", A + "tab"):
                    own.append(" ")
            sequence.extend("".join(own).split())
    return sequence


def document_checksum(path):
    """Checksum of the document's parts, leaving out the properties (they
    carry the time of writing)."""
    digest = hashlib.sha256()
    with zipfile.ZipFile(path) as archive:
        for name in sorted(archive.namelist()):
            if name.startswith("docProps/"):
                continue
            digest.update(name.encode())
            digest.update(archive.read(name))
    return digest.hexdigest()


# --- pdftotext -------------------------------------------------------------

def text_sequence(pdf):
    out = subprocess.run(["pdftotext", "-enc", "UTF-8", pdf, "-"], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         timeout=300).stdout.decode("utf-8", "replace")
    return out.split()


def boxed_pages(pdf):
    """Per page, its lines; a line is a list of words (text, x0, y0, x1, y1,
    line_length)."""
    out = subprocess.run(["pdftotext", "-enc", "UTF-8", "-bbox-layout", pdf, "-"], check=True,
                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                         timeout=300).stdout.decode("utf-8", "replace")
    number = r'"([-0-9.]+)"'
    box = r"xMin=%s yMin=%s xMax=%s yMax=%s" % (number, number, number, number)
    result = []
    for page in out.split("<page ")[1:]:
        lines = []
        for line in re.finditer(r"<line %s>(.*?)</line>" % box, page, re.S):
            length = float(line.group(3)) - float(line.group(1))
            words = []
            for w in re.finditer(r"<word %s>(.*?)</word>" % box, line.group(5), re.S):
                words.append((html.unescape(w.group(5)), float(w.group(1)), float(w.group(2)),
                              float(w.group(3)), float(w.group(4)), length))
            if words:
                lines.append(words)
        result.append(lines)
    return result


def as_placed(pages):
    """docx_print.placed_words' form: (text, x_min, y_centre, line_length)."""
    return [[(w[0], w[1], (w[2] + w[4]) / 2, w[5]) for line in page for w in line]
            for page in pages]


# --- the fair measure -------------------------------------------------------

def lcs_length(a, b):
    """Longest common subsequence of two word lists, by GNU diff (minimal)."""
    if not a or not b:
        return 0
    with tempfile.TemporaryDirectory(prefix="lcs-") as folder:
        fa, fb = os.path.join(folder, "a"), os.path.join(folder, "b")
        for name, words in ((fa, a), (fb, b)):
            with open(name, "w", encoding="utf-8") as f:
                f.write("\n".join(words) + "\n")
        out = subprocess.run(["diff", "--minimal", fa, fb], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL, timeout=1800).stdout
    removed = sum(1 for line in out.split(b"\n") if line.startswith(b"< "))
    return len(a) - removed


def lines_whole(source_pages, printed_pages):
    """(source lines of 2+ words, those whose words stand in order inside one
    printed line anywhere in the print)."""
    index = collections.defaultdict(list)
    printed_lines = []
    for page in printed_pages:
        for line in page:
            texts = [w[0] for w in line]
            k = len(printed_lines)
            printed_lines.append(texts)
            for i, t in enumerate(texts):
                index[t].append((k, i))
    total = whole = 0
    for page in source_pages:
        for line in page:
            texts = [w[0] for w in line]
            if len(texts) < 2:
                continue
            total += 1
            n = len(texts)
            for k, i in index.get(texts[0], ()):
                if printed_lines[k][i:i + n] == texts:
                    whole += 1
                    break
    return total, whole


def best_pages(source_pages, printed_pages):
    """For each source page, the printed page holding most of its words
    (ties: the nearest index); None when no word is printed."""
    holders = collections.defaultdict(list)
    for j, page in enumerate(printed_pages):
        for t, c in collections.Counter(w[0] for line in page for w in line).items():
            holders[t].append((j, c))
    result = []
    for k, page in enumerate(source_pages):
        score = collections.Counter()
        for t, c in collections.Counter(w[0] for line in page for w in line).items():
            for j, d in holders.get(t, ()):
                score[j] += min(c, d)
        if not score:
            result.append(None)
            continue
        result.append(max(score, key=lambda j: (score[j], -abs(j - k))))
    return result


def pair_words(source, printed, dx, dy):
    """Pairs of (source word, printed word) of the same text, nearest first
    after shifting the source by (dx, dy)."""
    by_text = collections.defaultdict(list)
    for w in printed:
        by_text[w[0]].append(w)
    mine = collections.defaultdict(list)
    for w in source:
        mine[w[0]].append(w)
    pairs = []
    for text, src in mine.items():
        dst = by_text.get(text, [])
        if not dst:
            continue
        if len(src) == 1 and len(dst) == 1:
            pairs.append((src[0], dst[0]))
            continue
        order = sorted((abs(a[1] + dx - b[1]) + abs(centre(a) + dy - centre(b)), i, j)
                       for i, a in enumerate(src) for j, b in enumerate(dst))
        used_src, used_dst = set(), set()
        for _, i, j in order:
            if i in used_src or j in used_dst:
                continue
            used_src.add(i)
            used_dst.add(j)
            pairs.append((src[i], dst[j]))
    return pairs


def centre(w):
    return (w[2] + w[4]) / 2


def fair_placement(source_pages, printed_pages):
    """(source words, words in place, per-page offsets [(dx, dy) or None])."""
    holders = best_pages(source_pages, printed_pages)
    total = within = 0
    offsets = []
    for page, j in zip(source_pages, holders):
        source = [w for line in page for w in line]
        total += len(source)
        if j is None or not source:
            offsets.append(None)
            continue
        printed = [w for line in printed_pages[j] for w in line]
        # The offset from words found once on both pages, then from all pairs.
        once_src = collections.Counter(w[0] for w in source)
        once_dst = collections.Counter(w[0] for w in printed)
        anchors = pair_words([w for w in source if once_src[w[0]] == 1],
                             [w for w in printed if once_dst[w[0]] == 1], 0.0, 0.0)
        if not anchors:
            anchors = pair_words(source, printed, 0.0, 0.0)
        dx = statistics.median(b[1] - a[1] for a, b in anchors)
        dy = statistics.median(centre(b) - centre(a) for a, b in anchors)
        offsets.append((round(dx, 1), round(dy, 1), j))
        for a, b in pair_words(source, printed, dx, dy):
            height = max(a[4] - a[2], 1.0)
            if abs(centre(a) + dy - centre(b)) <= height / 2 and \
                    abs(a[1] + dx - b[1]) <= max(height, 0.05 * a[5]):
                within += 1
    return total, within, offsets


# --- LibreOffice ------------------------------------------------------------

def print_one(document, outdir, profile, timeout):
    """Prints one document with its own LibreOffice run; (printed path or
    None, seconds, how it ended)."""
    document, outdir = os.path.abspath(document), os.path.abspath(outdir)
    printed = os.path.join(outdir, os.path.splitext(os.path.basename(document))[0] + ".pdf")
    if os.path.exists(printed):
        os.remove(printed)
    command = ["soffice", "-env:UserInstallation=file://" + os.path.abspath(profile),
               "--headless", "--norestore", "--convert-to", "pdf", "--outdir", outdir, document]
    start = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                               start_new_session=True)
    try:
        process.wait(timeout=timeout)
        ended = "ok" if process.returncode == 0 else "exit %d" % process.returncode
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.wait()
        ended = "timeout"
    seconds = time.monotonic() - start
    return (printed if os.path.exists(printed) else None), seconds, ended


def warm_profile(profile):
    """LibreOffice builds a new profile on its first start; doing it before
    the timed runs keeps that out of the first file's time."""
    if os.path.isdir(profile):
        return
    subprocess.run(["soffice", "-env:UserInstallation=file://" + os.path.abspath(profile),
                    "--headless", "--norestore", "--terminate_after_init"],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)


# --- the run ----------------------------------------------------------------

def option(name, default):
    if name in sys.argv:
        return sys.argv[sys.argv.index(name) + 1]
    return default


def percent(part, whole):
    return 100.0 * part / whole if whole else 100.0


def main():
    valued = ("--only", "--format", "--jobs", "--timeout", "--json")
    args, skip = [], False
    for a in sys.argv[1:]:
        if skip:
            skip = False
        elif a in valued:
            skip = True
        elif not a.startswith("--") and a != "-h":
            args.append(a)
    if len(args) < 2 or "-h" in sys.argv or "--help" in sys.argv:
        print(__doc__.strip())
        return 0 if "-h" in sys.argv or "--help" in sys.argv else 2
    only = option("--only", None)
    kind = option("--format", "docx")
    if kind not in ("docx", "pptx"):
        print("--format is docx or pptx", file=sys.stderr)
        return 2
    jobs_at_once = max(1, int(option("--jobs", "2")))
    timeout = float(option("--timeout", "1200"))
    json_path = option("--json", None)
    reuse = "--reuse" in sys.argv
    corvala, corpus = args[0], args[1]
    work = os.path.abspath(args[2] if len(args) > 2 else tempfile.mkdtemp(prefix=kind + "-lo-"))
    printed_dir = os.path.join(work, "printed")
    os.makedirs(printed_dir, exist_ok=True)
    sequence_of = docx_sequence if kind == "docx" else pptx_sequence

    jobs = []
    unconverted = []
    for root, _, files in os.walk(corpus):
        for name in sorted(files):
            if not name.lower().endswith(".pdf") or (only and only not in name):
                continue
            pdf = os.path.join(root, name)
            try:
                source_text = text_sequence(pdf)
            except subprocess.CalledProcessError:
                continue  # not readable (damaged or locked)
            out = os.path.join(work, name[:-4] + "." + kind)
            if not (reuse and os.path.exists(out)):
                if os.path.exists(out):
                    os.remove(out)
                subprocess.run([corvala, "convert", "-f", kind, "-o", work, pdf],
                               capture_output=True, timeout=600)
            if os.path.exists(out):
                jobs.append((pdf, out, source_text))
            else:
                unconverted.append(os.path.relpath(pdf, corpus))
    jobs.sort(key=lambda j: os.path.relpath(j[0], corpus))

    cache_path = os.path.join(work, "prints.json")
    try:
        with open(cache_path) as f:
            cache = json.load(f)
        if cache.get("version") != CACHE_VERSION:
            cache = {}
    except (OSError, ValueError):
        cache = {}
    cache["version"] = CACHE_VERSION
    prints = cache.setdefault("prints", {})
    stale = []
    for _, out, _ in jobs:
        key = os.path.basename(out)
        entry = prints.get(key)
        checksum = document_checksum(out)
        printed = os.path.join(printed_dir, os.path.splitext(key)[0] + ".pdf")
        if entry and entry.get("checksum") == checksum and \
                (entry.get("printed") is False or os.path.exists(printed)):
            continue
        stale.append((out, checksum))
    # The slowest first, so the two runs end together.
    stale.sort(key=lambda s: -os.path.getsize(s[0]))
    profiles = [os.path.join(work, "lo-profile-%d" % k) for k in range(jobs_at_once)]
    free = list(profiles)
    for p in profiles:
        warm_profile(p)
    if stale:
        print("printing %d documents with LibreOffice (%d at once)" % (len(stale), jobs_at_once),
              file=sys.stderr, flush=True)
    with concurrent.futures.ThreadPoolExecutor(jobs_at_once) as pool:
        running = {}
        queue = list(stale)
        while queue or running:
            while queue and free:
                out, checksum = queue.pop(0)
                profile = free.pop()
                running[pool.submit(print_one, out, printed_dir, profile, timeout)] = \
                    (out, checksum, profile)
            done, _ = concurrent.futures.wait(running, return_when=concurrent.futures.FIRST_COMPLETED)
            for future in done:
                out, checksum, profile = running.pop(future)
                free.append(profile)
                printed, seconds, ended = future.result()
                prints[os.path.basename(out)] = {"checksum": checksum, "seconds": round(seconds, 1),
                                                 "ended": ended, "printed": printed is not None}
                print("  printed %s in %.1f s (%s)" % (os.path.basename(out), seconds, ended),
                      file=sys.stderr, flush=True)
                with open(cache_path + ".tmp", "w") as f:
                    json.dump(cache, f, indent=1)
                os.replace(cache_path + ".tmp", cache_path)

    results = []
    differing = []
    for pdf, out, source_text in jobs:
        name = os.path.relpath(pdf, corpus)
        key = os.path.basename(out)
        entry = prints.get(key, {})
        ours = sequence_of(out)
        ref, mine = collections.Counter(source_text), collections.Counter(ours)
        missing, extra = sum((ref - mine).values()), sum((mine - ref).values())
        if missing or extra:
            differing.append((name, missing, extra, ref - mine, mine - ref))
        r = {"file": name, "missing": missing, "extra": extra,
             "order_words": len(source_text), "order_kept": lcs_length(source_text, ours),
             "lo_seconds": entry.get("seconds"), "lo_ended": entry.get("ended")}
        lo = os.path.join(printed_dir, os.path.splitext(key)[0] + ".pdf")
        if not entry.get("printed") or not os.path.exists(lo):
            r["printed"] = False
            results.append(r)
            print("%-58s not printed (%s)" % (name, entry.get("ended")), flush=True)
            continue
        r["printed"] = True
        src_pages, lo_pages = docx_print.pages(pdf), docx_print.pages(lo)
        src_boxed, lo_boxed = boxed_pages(pdf), boxed_pages(lo)
        src_placed, lo_placed = as_placed(src_boxed), as_placed(lo_boxed)
        t, w = docx_print.position_counts(src_placed, lo_placed)
        _, v = docx_print.position_counts(src_placed, lo_placed, across=False)
        lines, whole = lines_whole(src_boxed, lo_boxed)
        placed_total, placed, offsets = fair_placement(src_boxed, lo_boxed)
        r["print_order_kept"] = lcs_length(source_text, text_sequence(lo))
        shifts = [abs(o[1]) for o in offsets if o]
        r.update({"source_pages": len(src_pages), "printed_pages": len(lo_pages),
                  "words": t, "in_place": w, "on_line": v, "lines": lines, "lines_whole": whole,
                  "placed_words": placed_total, "placed": placed, "offsets": offsets})
        results.append(r)
        pages_note = "%3d/%-3d" % (len(src_pages), len(lo_pages))
        if len(src_pages) != len(lo_pages):
            pages_note += " (%+d)" % (len(lo_pages) - len(src_pages))
        print("%-58s pages %-12s missing %5d extra %5d | in place %5.1f %% on line %5.1f %%"
              " | whole %5.1f %% order %5.1f %% placed %5.1f %% (|dy| median %.1f max %.1f)"
              " | LO %6.1f s" %
              (name, pages_note, missing, extra, percent(w, t), percent(v, t),
               percent(whole, lines), percent(r["order_kept"], r["order_words"]),
               percent(placed, placed_total),
               statistics.median(shifts) if shifts else 0.0, max(shifts) if shifts else 0.0,
               entry.get("seconds") or 0.0), flush=True)

    printed = [r for r in results if r["printed"]]
    n = len(results)
    same_pages = sum(r["source_pages"] == r["printed_pages"] for r in printed)
    total_words = sum(r["words"] for r in printed)

    def total_and_median(part, whole, rows):
        shares = [percent(r[part], r[whole]) for r in rows if r[whole]]
        return (percent(sum(r[part] for r in rows), sum(r[whole] for r in rows)),
                statistics.median(shares) if shares else 100.0)

    print("\n%s: files %d, printed %d; same page count %d (%.1f %%); words in place %d of %d"
          " (%.1f %%), on their line %d (%.1f %%); files whose words differ %d" %
          (kind, n, len(printed), same_pages, percent(same_pages, n),
           sum(r["in_place"] for r in printed), total_words,
           percent(sum(r["in_place"] for r in printed), total_words),
           sum(r["on_line"] for r in printed),
           percent(sum(r["on_line"] for r in printed), total_words), len(differing)))
    for name in sorted(unconverted):
        print("  not converted: %s" % name)
    print("fair measure (total, median of files):")
    print("  lines whole   %5.1f %%  %5.1f %%" % total_and_median("lines_whole", "lines", printed))
    print("  reading order %5.1f %%  %5.1f %%" % total_and_median("order_kept", "order_words",
                                                               results))
    print("  order on print %4.1f %%  %5.1f %%" % total_and_median("print_order_kept", "order_words",
                                                               printed))
    print("  placed        %5.1f %%  %5.1f %%" % total_and_median("placed", "placed_words", printed))
    off = [r for r in printed if r["source_pages"] != r["printed_pages"]]
    print("  page count differs in %d files:" % len(off))
    for r in off:
        print("    %-56s %4d -> %-4d (%+d)" % (r["file"], r["source_pages"], r["printed_pages"],
                                             r["printed_pages"] - r["source_pages"]))
    timed = sorted((r for r in results if r.get("lo_seconds") is not None),
                   key=lambda r: -r["lo_seconds"])
    if timed:
        print("  LibreOffice open+print: total %.0f s, median %.1f s; slowest:" %
              (sum(r["lo_seconds"] for r in timed),
               statistics.median(r["lo_seconds"] for r in timed)))
        for r in timed[:5]:
            print("    %-56s %7.1f s (%s)" % (r["file"], r["lo_seconds"], r["lo_ended"]))
    for name, missing, extra, m, e in differing:
        print("  %s: missing %d extra %d" % (name, missing, extra))
        print("    missing:", " ".join("%s x%d" % kv for kv in list(m.items())[:12]))
        print("    extra:  ", " ".join("%s x%d" % kv for kv in list(e.items())[:12]))
    if json_path:
        with open(json_path + ".tmp", "w") as f:
            json.dump({"format": kind, "files": results}, f, indent=1, ensure_ascii=False)
        os.replace(json_path + ".tmp", json_path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
