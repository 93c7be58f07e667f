#!/usr/bin/python3
"""Writes a PDF with ReportLab's CID fonts: non-embedded Type0 fonts over the
predefined CMaps UniJIS-UCS2-H, UniGB-UCS2-H, UniKS-UCS2-H and UniJIS-UCS2-V
with /W widths and no /ToUnicode. ReportLab gives MSung-Light the CMap
UniGB-UCS2-H under an Adobe-CNS1 descendant. Usage: reportlab-cid.py OUTPUT.pdf"""
import sys

from reportlab import rl_config
rl_config.invariant = 1
from reportlab.pdfgen import canvas
from reportlab.pdfbase import pdfmetrics
from reportlab.pdfbase.cidfonts import UnicodeCIDFont
for name in ["HeiseiMin-W3", "STSong-Light", "HYSMyeongJo-Medium", "MSung-Light"]:
    pdfmetrics.registerFont(UnicodeCIDFont(name))
v = UnicodeCIDFont("HeiseiMin-W3", isVertical=True)
v.name = v.fontName = "HeiseiMin-W3-V"
pdfmetrics.registerFont(v)
c = canvas.Canvas(sys.argv[1], pagesize=(400, 400))
c.setFont("HeiseiMin-W3", 14)
c.drawString(20, 360, "日本語のテキスト ABC 123")
c.setFont("STSong-Light", 12)
c.drawString(20, 330, "简体中文 测试")
c.setFont("HYSMyeongJo-Medium", 12)
c.drawString(20, 300, "한국어 텍스트")
c.setFont("MSung-Light", 12)
c.drawString(20, 270, "繁體中文 測試")
c.setFont("HeiseiMin-W3-V", 16)
c.drawString(350, 360, "縦書きです")
c.save()
