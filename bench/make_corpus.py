#!/usr/bin/python3
"""Writes the benchmark corpus into a folder (reproducible: ReportLab's
invariant mode, seeded pseudo-random data, deterministic image encoders).

    make_corpus.py OUTDIR

Files already present are kept.

  report-500.pdf   500-page ledger: header, 42 rows x 7 columns of dates,
                   references, descriptions and amounts per page, ruling lines,
                   shaded rows, footer; the standard Helvetica fonts.
  fonts-images-200.pdf  200-page report with embedded subset TrueType fonts
                   (DejaVu Sans, Sans Bold, Serif), a logo with an alpha mask
                   on every page, a chart picture of its own per page,
                   paragraphs and a small table.
  cjk-60.pdf       60-page Chinese and Japanese report: composite (Type0) fonts
                   STSong-Light and HeiseiMin-W3 with the UCS-2 CMaps, as
                   ReportLab writes them (not embedded).
  scanned-10.pdf   10 scanned-style pages: one 200 dpi greyscale JPEG each
                   (text drawn, slightly turned, with noise), by img2pdf.
  tables-300.pdf   300 light pages: each a plain table of 40 to 60 rows x 5
                   columns in Helvetica, nothing else (no rules, fills or
                   images), so the fixed cost of each page shows.
  light-table-300.pdf  300 pages of 51 rows x 4 columns in Helvetica 10 and
                   nothing else: the per-page cost beyond the text.
  framed-book-300.pdf  300-page book: paragraphs of Times inside a thin frame
                   drawn on every page by two paths of 40+ elements each (a
                   stroked scalloped line and a filled even-odd ring), the
                   drawings a slide rasterises.
  chart-1.pdf      one chart page: 43 stacked area series of 120 points each
                   filled over the plot, with a stroked line over each.
  bitonal-1.pdf    one page holding a 9,000 x 10,000 1-bit CCITT G4 scan.
  inline-2000.pdf  one page drawing 2,000 tiny inline stencil images (8 x 8,
                   1 bit) in a grid, as a glyph-by-image PDF does.
"""
import io
import os
import random
import subprocess
import sys

from reportlab import rl_config

rl_config.invariant = 1

from PIL import Image, ImageDraw, ImageFilter, ImageFont  # noqa: E402
from reportlab.lib.pagesizes import A4  # noqa: E402
from reportlab.lib.utils import ImageReader  # noqa: E402
from reportlab.pdfbase import pdfmetrics  # noqa: E402
from reportlab.pdfbase.cidfonts import UnicodeCIDFont  # noqa: E402
from reportlab.pdfbase.ttfonts import TTFont  # noqa: E402
from reportlab.pdfgen import canvas  # noqa: E402

DEJAVU = "/usr/share/fonts/truetype/dejavu/"
WORDS = ("office supplies travel consulting licence rent utilities catering freight "
         "maintenance insurance subscription hardware training refund interest fees "
         "advertising postage telephone cleaning security software payroll").split()


def money(v):
    return "{:,.2f}".format(v)


def ledger(path, pages):
    rnd = random.Random(500)
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    c.setTitle("General ledger")
    c.setAuthor("Corvala benchmark")
    w, h = A4
    cols = [(36, "Date"), (92, "Reference"), (160, "Description"), (330, "Debit"),
            (395, "Credit"), (460, "Balance"), (525, "Cat.")]
    balance = 125000.0
    day = 0
    for page in range(1, pages + 1):
        c.setFont("Helvetica-Bold", 14)
        c.drawString(36, h - 50, "Northwind Trading Ltd. - General ledger 2023")
        c.setFont("Helvetica", 8)
        c.drawRightString(w - 36, h - 50, "Page %d of %d" % (page, pages))
        y = h - 80
        c.setFillGray(0.85)
        c.rect(32, y - 4, w - 64, 14, stroke=0, fill=1)
        c.setFillGray(0)
        c.setFont("Helvetica-Bold", 8)
        for x, title in cols:
            if title in ("Debit", "Credit", "Balance"):
                c.drawRightString(x + 55, y, title)
            else:
                c.drawString(x, y, title)
        c.setFont("Helvetica", 8)
        for row in range(42):
            y -= 16
            if row % 2:
                c.setFillGray(0.95)
                c.rect(32, y - 4, w - 64, 16, stroke=0, fill=1)
                c.setFillGray(0)
            day += rnd.random() < 0.3
            amount = round(rnd.uniform(5, 9000), 2)
            debit = rnd.random() < 0.55
            balance += -amount if debit else amount
            desc = " ".join(rnd.choice(WORDS) for _ in range(rnd.randint(2, 4))).capitalize()
            c.drawString(36, y, "%02d/%02d/2023" % (day % 28 + 1, day // 28 % 12 + 1))
            c.drawString(92, y, "INV-%06d" % rnd.randint(0, 999999))
            c.drawString(160, y, desc[:34])
            c.drawRightString(385, y, money(amount) if debit else "")
            c.drawRightString(450, y, "" if debit else money(amount))
            c.drawRightString(515, y, money(balance))
            c.drawString(525, y, rnd.choice(("A", "B", "C", "D")))
        c.setLineWidth(0.5)
        c.line(32, y - 6, w - 32, y - 6)
        for x, _ in cols[1:]:
            c.line(x - 4, h - 88, x - 4, y - 6)
        c.setFont("Helvetica-Oblique", 7)
        c.drawString(36, 30, "Confidential - generated for performance measurements")
        c.showPage()
    c.save()


def logo_png():
    img = Image.new("RGBA", (160, 60), (0, 0, 0, 0))
    d = ImageDraw.Draw(img)
    d.ellipse((2, 2, 56, 56), fill=(20, 90, 160, 255))
    d.rectangle((64, 18, 156, 42), fill=(200, 60, 40, 200))
    buf = io.BytesIO()
    img.save(buf, "PNG")
    buf.seek(0)
    return ImageReader(buf)


def chart_jpeg(rnd, n):
    img = Image.new("RGB", (480, 220), (255, 255, 255))
    d = ImageDraw.Draw(img)
    for i in range(12):
        v = rnd.randint(20, 200)
        d.rectangle((20 + i * 38, 210 - v, 48 + i * 38, 210),
                    fill=(40 + i * 15, 120, 220 - i * 12))
    d.line((10, 210, 470, 210), fill=(0, 0, 0), width=2)
    d.text((20, 8), "Figure %d" % n, fill=(0, 0, 0))
    buf = io.BytesIO()
    img.save(buf, "JPEG", quality=80)
    buf.seek(0)
    return ImageReader(buf)


def fonts_images(path, pages):
    rnd = random.Random(200)
    pdfmetrics.registerFont(TTFont("DejaVuSans", DEJAVU + "DejaVuSans.ttf"))
    pdfmetrics.registerFont(TTFont("DejaVuSans-Bold", DEJAVU + "DejaVuSans-Bold.ttf"))
    pdfmetrics.registerFont(TTFont("DejaVuSerif", DEJAVU + "DejaVuSerif.ttf"))
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    c.setTitle("Quarterly review")
    w, h = A4
    logo = logo_png()
    for page in range(1, pages + 1):
        c.drawImage(logo, 36, h - 80, 120, 45, mask="auto")
        c.setFont("DejaVuSans-Bold", 16)
        c.drawString(170, h - 60, "Quarterly review \u2014 section %d" % page)
        c.setFont("DejaVuSerif", 10)
        y = h - 110
        for _ in range(9):
            line = " ".join(rnd.choice(WORDS) for _ in range(12))
            c.drawString(36, y, ("\u201c" + line.capitalize() + "\u201d caf\u00e9 \u20ac")[:95])
            y -= 13
        c.drawImage(chart_jpeg(rnd, page), 36, y - 190, 360, 165)
        y -= 215
        c.setFont("DejaVuSans-Bold", 9)
        for i, t in enumerate(("Region", "Units", "Revenue", "Margin")):
            c.drawString(36 + i * 120, y, t)
        c.setFont("DejaVuSans", 9)
        for r in range(12):
            y -= 14
            c.drawString(36, y, rnd.choice(("North", "South", "East", "West", "\u00d6sterreich")))
            c.drawRightString(190, y, "{:,}".format(rnd.randint(100, 99999)))
            c.drawRightString(310, y, "\u20ac" + money(rnd.uniform(1000, 999999)))
            c.drawRightString(420, y, "%.1f%%" % rnd.uniform(-20, 60))
        c.setFont("DejaVuSans", 7)
        c.drawCentredString(w / 2, 30, "\u2013 %d \u2013" % page)
        c.showPage()
    c.save()


def cjk(path, pages):
    rnd = random.Random(60)
    pdfmetrics.registerFont(UnicodeCIDFont("STSong-Light"))
    pdfmetrics.registerFont(UnicodeCIDFont("HeiseiMin-W3"))
    items = ["办公用品", "差旅费用", "咨询服务", "软件许可", "房租", "水电费", "培训",
             "運送料", "保守費用", "広告宣伝費", "通信費", "消耗品"]
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    w, h = A4
    for page in range(1, pages + 1):
        c.setFont("STSong-Light", 16)
        c.drawString(36, h - 50, "年度财务报告 第%d页" % page)
        c.setFont("HeiseiMin-W3", 10)
        c.drawString(36, h - 70, "令和五年度 決算報告書（単位：円）")
        y = h - 100
        for i, t in enumerate(("项目", "数量", "金额", "备注")):
            c.setFont("STSong-Light", 10)
            c.drawString(36 + i * 130, y, t)
        for _ in range(38):
            y -= 18
            item = rnd.choice(items)
            c.setFont("HeiseiMin-W3" if ord(item[-1]) in range(0x30A0, 0x9FFF) and
                      item in items[7:] else "STSong-Light", 10)
            c.drawString(36, y, item)
            c.drawRightString(220, y, "{:,}".format(rnd.randint(1, 9999)))
            c.drawRightString(350, y, "¥" + "{:,}".format(rnd.randint(1000, 99999999)))
            c.drawString(426, y, rnd.choice(("已审核", "待确认", "承認済み", "")))
        c.showPage()
    c.save()


def scanned(path, pages, workdir):
    rnd = random.Random(10)
    font = ImageFont.truetype(DEJAVU + "DejaVuSans.ttf", 26)
    jpegs = []
    for page in range(1, pages + 1):
        img = Image.new("L", (1654, 2339), 246)
        d = ImageDraw.Draw(img)
        y = 150
        d.text((140, y), "STATEMENT OF ACCOUNT  page %d" % page, fill=20, font=font)
        for _ in range(50):
            y += 42
            d.text((140, y), "%02d.%02d.2023  %-28s %12s" % (
                rnd.randint(1, 28), rnd.randint(1, 12), rnd.choice(WORDS).upper(),
                money(rnd.uniform(1, 50000))), fill=30, font=font)
        img = img.rotate(rnd.uniform(-1.2, 1.2), fillcolor=246, resample=Image.BICUBIC)
        noise = Image.effect_noise(img.size, 18)
        img = Image.blend(img, noise, 0.12).filter(ImageFilter.GaussianBlur(0.6))
        p = os.path.join(workdir, "scan-%02d.jpg" % page)
        img.save(p, "JPEG", quality=75, dpi=(200, 200))
        jpegs.append(p)
    subprocess.run(["img2pdf", "--creationdate", "2023-01-01", "--moddate", "2023-01-01",
                    "-o", path] + jpegs, check=True)
    for p in jpegs:
        os.remove(p)


def light_tables(path, pages):
    rnd = random.Random(300)
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    w, h = A4
    for page in range(1, pages + 1):
        rows = rnd.randint(40, 60)
        step = min(14.0, (h - 90) / (rows + 1))
        y = h - 50
        c.setFont("Helvetica", 9)
        for x, title in ((40, "Item"), (110, "Description"), (330, "Qty"), (420, "Price"),
                         (510, "Total")):
            c.drawString(x, y, title)
        for row in range(rows):
            y -= step
            qty = rnd.randint(1, 250)
            price = round(rnd.uniform(0.5, 900), 2)
            c.drawString(40, y, "%d-%03d" % (page, row + 1))
            c.drawString(110, y, " ".join(rnd.choice(WORDS) for _ in range(rnd.randint(1, 3))))
            c.drawRightString(350, y, str(qty))
            c.drawRightString(460, y, money(price))
            c.drawRightString(555, y, money(qty * price))
        c.showPage()
    c.save()


def light_table(path, pages):
    rnd = random.Random(51)
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    w, h = A4
    for page in range(1, pages + 1):
        c.setFont("Helvetica", 10)
        y = h - 40
        for row in range(51):
            c.drawString(40, y, "%d.%02d" % (page, row + 1))
            c.drawString(110, y, " ".join(rnd.choice(WORDS) for _ in range(2)))
            c.drawRightString(400, y, str(rnd.randint(1, 999)))
            c.drawRightString(540, y, money(rnd.uniform(1, 99999)))
            y -= 15
        c.showPage()
    c.save()


def framed_book(path, pages):
    import math
    rnd = random.Random(352)
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    w, h = A4
    m = 28
    for page in range(1, pages + 1):
        # A scalloped line around the page: 12 arcs on each side.
        c.setLineWidth(0.8)
        c.setStrokeColorRGB(0.35, 0.2, 0.1)
        p = c.beginPath()
        corners = [(m, m), (w - m, m), (w - m, h - m), (m, h - m), (m, m)]
        p.moveTo(m, m)
        for (x0, y0), (x1, y1) in zip(corners, corners[1:]):
            n = 12
            for k in range(n):
                ax, ay = x0 + (x1 - x0) * k / n, y0 + (y1 - y0) * k / n
                bx, by = x0 + (x1 - x0) * (k + 1) / n, y0 + (y1 - y0) * (k + 1) / n
                nx, ny = (y1 - y0) / math.hypot(x1 - x0, y1 - y0) * 4, -(x1 - x0) / math.hypot(
                    x1 - x0, y1 - y0) * 4
                p.curveTo(ax + nx, ay + ny, bx + nx, by + ny, bx, by)
        p.close()
        c.drawPath(p, stroke=1, fill=0)
        # A thin ring inside it, filled even-odd, its edges notched.
        c.setFillColorRGB(0.55, 0.35, 0.2)
        p = c.beginPath()
        for inset, sign in ((m + 8, 1), (m + 10, -1)):
            pts = []
            for k in range(10):
                pts.append((inset + (w - 2 * inset) * k / 10, inset + (k % 2) * 0.6))
            for k in range(10):
                pts.append((w - inset - (k % 2) * 0.6, inset + (h - 2 * inset) * k / 10))
            for k in range(10):
                pts.append((w - inset - (w - 2 * inset) * k / 10, h - inset - (k % 2) * 0.6))
            for k in range(10):
                pts.append((inset + (k % 2) * 0.6, h - inset - (h - 2 * inset) * k / 10))
            if sign < 0:
                pts.reverse()
            p.moveTo(*pts[0])
            for q in pts[1:]:
                p.lineTo(*q)
            p.close()
        c.drawPath(p, stroke=0, fill=1, fillMode=0)
        c.setFillGray(0)
        c.setFont("Times-Bold", 12)
        c.drawCentredString(w / 2, h - 70, "Chapter %d" % ((page + 9) // 10))
        c.setFont("Times-Roman", 10.5)
        y = h - 100
        while y > 80:
            line = " ".join(rnd.choice(WORDS) for _ in range(13))
            c.drawString(60, y, line.capitalize()[:92])
            y -= 13.5
        c.drawCentredString(w / 2, 50, str(page))
        c.showPage()
    c.save()


def chart(path):
    import math
    rnd = random.Random(43)
    c = canvas.Canvas(path, pagesize=A4, invariant=1, pageCompression=1)
    w, h = A4
    x0, y0, x1, y1 = 50, 120, w - 40, h - 120
    n = 120
    xs = [x0 + (x1 - x0) * i / (n - 1) for i in range(n)]
    tops = []
    base = [0.0] * n
    for series in range(43):
        base = [min(b + (y1 - y0) / 43 * (0.6 + 0.8 * abs(math.sin(series + i / 9.0)))
                    * (0.8 + 0.4 * rnd.random()), y1 - y0) for i, b in enumerate(base)]
        tops.append(base)
    # The tallest area first, each lower one over it, as stacked charts draw.
    for series in reversed(range(43)):
        top = tops[series]
        c.setFillColorRGB(0.3 + 0.6 * (series % 5) / 4, 0.2 + 0.7 * (series % 7) / 6,
                          0.9 - 0.6 * (series % 3) / 2)
        p = c.beginPath()
        p.moveTo(xs[0], y0)
        for x, t in zip(xs, top):
            p.lineTo(x, y0 + t)
        p.lineTo(xs[-1], y0)
        p.close()
        c.drawPath(p, stroke=0, fill=1)
        c.setStrokeGray(0.1)
        c.setLineWidth(0.4)
        p = c.beginPath()
        p.moveTo(xs[0], y0 + top[0])
        for x, t in zip(xs[1:], top[1:]):
            p.lineTo(x, y0 + t)
        c.drawPath(p, stroke=1, fill=0)
    c.setFillGray(0)
    c.setFont("Helvetica-Bold", 14)
    c.drawString(x0, h - 80, "Stacked series, 43 layers")
    c.showPage()
    c.save()


def bitonal(path, workdir):
    rnd = random.Random(9000)
    Image.MAX_IMAGE_PIXELS = None
    img = Image.new("1", (9000, 10000), 1)
    d = ImageDraw.Draw(img)
    y = 400
    while y < 9500:
        x = 500
        while x < 8400:
            wd = rnd.randint(60, 400)
            d.rectangle((x, y, x + wd, y + 70), fill=0)
            x += wd + rnd.randint(40, 90)
        y += 130
    tif = os.path.join(workdir, "bitonal.tif")
    img.save(tif, "TIFF", compression="group4", dpi=(1200, 1200))
    subprocess.run(["img2pdf", "--creationdate", "2023-01-01", "--moddate", "2023-01-01",
                    "-o", path, tif], check=True)
    os.remove(tif)


def inline_images(path, count):
    """Written by hand: ReportLab has no inline stencil images."""
    rnd = random.Random(2000)
    ops = [b"0 0 0 rg"]
    for k in range(count):
        x, y = 40 + (k % 50) * 10.5, 800 - (k // 50) * 18
        bits = bytes(rnd.getrandbits(8) for _ in range(8))
        ops.append(b"q 8 0 0 8 %d %d cm BI /W 8 /H 8 /IM true /BPC 1 /D [1 0] ID "
                   % (int(x), int(y)) + bits + b" EI Q")
    content = b"\n".join(ops)
    objs = [b"<< /Type /Catalog /Pages 2 0 R >>",
            b"<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
            b"<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R "
            b"/Resources << >> >>",
            b"<< /Length %d >>\nstream\n" % len(content) + content + b"\nendstream"]
    out = bytearray(b"%PDF-1.4\n")
    offsets = []
    for i, o in enumerate(objs, 1):
        offsets.append(len(out))
        out += b"%d 0 obj\n" % i + o + b"\nendobj\n"
    xref = len(out)
    out += b"xref\n0 %d\n0000000000 65535 f \n" % (len(objs) + 1)
    for off in offsets:
        out += b"%010d 00000 n \n" % off
    out += b"trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n" % (
        len(objs) + 1, xref)
    with open(path, "wb") as f:
        f.write(out)


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    jobs = [("report-500.pdf", lambda p: ledger(p, 500)),
            ("fonts-images-200.pdf", lambda p: fonts_images(p, 200)),
            ("cjk-60.pdf", lambda p: cjk(p, 60)),
            ("scanned-10.pdf", lambda p: scanned(p, 10, out)),
            ("tables-300.pdf", lambda p: light_tables(p, 300)),
            ("light-table-300.pdf", lambda p: light_table(p, 300)),
            ("framed-book-300.pdf", lambda p: framed_book(p, 300)),
            ("chart-1.pdf", chart),
            ("bitonal-1.pdf", lambda p: bitonal(p, out)),
            ("inline-2000.pdf", lambda p: inline_images(p, 2000))]
    for name, make in jobs:
        path = os.path.join(out, name)
        if os.path.exists(path):
            continue
        make(path + ".part")
        os.replace(path + ".part", path)
        print("made", path, file=sys.stderr)


if __name__ == "__main__":
    main()
