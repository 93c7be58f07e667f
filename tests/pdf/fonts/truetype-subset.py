#!/usr/bin/python3
"""Writes a PDF with an embedded subset TrueType font (DejaVu Sans, from
fonts-dejavu-core) as ReportLab makes it: a simple /TrueType font whose codes
are numbered from 0, no /Encoding, a /ToUnicode map. Its lines show smart
quotes, a ligature, dashes, accents, the euro, Tz 50 with character spacing,
a rotated and a mirrored line. Usage: truetype-subset.py OUTPUT.pdf"""
import sys

from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.ttfonts import TTFont
from reportlab.pdfgen import canvas

pdfmetrics.registerFont(TTFont("DejaVuSans", "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"))
c = canvas.Canvas(sys.argv[1], pagesize=(400, 300), invariant=1)
t = c.beginText(20, 250)
t.setFont("DejaVuSans", 12)
t.textLine("Hello \u201cquoted\u201d \ufb01ne \u2014 caf\u00e9 \u20ac5")
c.drawText(t)
t = c.beginText(20, 200)
t.setFont("DejaVuSans", 12)
t.setHorizScale(50)
t.setCharSpace(1)
t.textLine("Narrow spaced words")
c.drawText(t)
c.saveState()
c.translate(300, 100)
c.rotate(90)
c.setFont("DejaVuSans", 10)
c.drawString(0, 0, "Rotated line")
c.restoreState()
c.saveState()
c.translate(200, 50)
c.scale(-1, 1)
c.setFont("DejaVuSans", 10)
c.drawString(0, 0, "Mirrored")
c.restoreState()
c.showPage()
c.save()
