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


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    jobs = [("report-500.pdf", lambda p: ledger(p, 500)),
            ("fonts-images-200.pdf", lambda p: fonts_images(p, 200)),
            ("cjk-60.pdf", lambda p: cjk(p, 60)),
            ("scanned-10.pdf", lambda p: scanned(p, 10, out)),
            ("tables-300.pdf", lambda p: light_tables(p, 300))]
    for name, make in jobs:
        path = os.path.join(out, name)
        if os.path.exists(path):
            continue
        make(path + ".part")
        os.replace(path + ".part", path)
        print("made", path, file=sys.stderr)


if __name__ == "__main__":
    main()
