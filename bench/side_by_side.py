#!/usr/bin/python3
"""Side-by-side pictures of source pages and their printed Word or slide
pages, for the eye: the source page on the left, the page LibreOffice printed
on the right, one PNG per page.

    bench/side_by_side.py CORPUS WORK OUTDIR NAME... [--pages N] [--dpi D]

WORK is the work folder of bench/docx_vs_libreoffice.py (its printed/ folder
holds the prints); each NAME is matched against the corpus's PDF file names
(a part of the name is enough). The first N pages (default 4) of each file
are drawn at D dots per inch (default 50) as OUTDIR/NAME-pK.png. Where the
print has fewer pages, the right side stays empty.
"""
import glob
import os
import subprocess
import sys
import tempfile

from PIL import Image


def option(name, default):
    if name in sys.argv:
        return sys.argv[sys.argv.index(name) + 1]
    return default


def render(pdf, pages, dpi, folder, prefix):
    """The first pages of a PDF as PNG paths (fewer when it has fewer)."""
    subprocess.run(["pdftoppm", "-png", "-r", str(dpi), "-f", "1", "-l", str(pages), pdf,
                    os.path.join(folder, prefix)],
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return sorted(glob.glob(os.path.join(folder, prefix + "*.png")))


def main():
    valued = ("--pages", "--dpi")
    args, skip = [], False
    for a in sys.argv[1:]:
        if skip:
            skip = False
        elif a in valued:
            skip = True
        elif not a.startswith("--"):
            args.append(a)
    if len(args) < 4 or "--help" in sys.argv or "-h" in sys.argv:
        print(__doc__.strip())
        return 0 if "--help" in sys.argv or "-h" in sys.argv else 2
    corpus, work, outdir, names = args[0], args[1], args[2], args[3:]
    pages = int(option("--pages", "4"))
    dpi = int(option("--dpi", "50"))
    os.makedirs(outdir, exist_ok=True)
    sources = sorted(glob.glob(os.path.join(corpus, "**", "*.pdf"), recursive=True))
    missing = 0
    for name in names:
        matches = [s for s in sources if name in os.path.basename(s)]
        if not matches:
            print("%s: no such file in the corpus" % name, file=sys.stderr)
            missing += 1
            continue
        source = matches[0]
        stem = os.path.splitext(os.path.basename(source))[0]
        printed = os.path.join(work, "printed", stem + ".pdf")
        if not os.path.exists(printed):
            print("%s: not printed in %s" % (stem, work), file=sys.stderr)
            missing += 1
            continue
        with tempfile.TemporaryDirectory() as folder:
            left = render(source, pages, dpi, folder, "s")
            right = render(printed, pages, dpi, folder, "p")
            for k, path in enumerate(left):
                a = Image.open(path).convert("RGB")
                b = Image.open(right[k]).convert("RGB") if k < len(right) else None
                width = a.width + 10 + (b.width if b else a.width)
                height = max(a.height, b.height if b else 0)
                both = Image.new("RGB", (width, height), (128, 128, 128))
                both.paste(a, (0, 0))
                if b:
                    both.paste(b, (a.width + 10, 0))
                target = os.path.join(outdir, "%s-p%d.png" % (stem, k + 1))
                both.save(target)
                print(target)
    return 1 if missing else 0


if __name__ == "__main__":
    sys.exit(main())
