#!/usr/bin/python3
"""Writes a PDF with WenQuanYi Micro Hei (fonts-wqy-microhei) through cairo,
which embeds the CJK glyphs as a subset /CIDFontType2 font under a /Type0
font with /Identity-H and a /ToUnicode map (spaces and Latin letters go to a
simple subset font). Usage: cairo-cjk.py OUTPUT.pdf"""
import sys

import cairo

surface = cairo.PDFSurface(sys.argv[1], 300, 200)
c = cairo.Context(surface)
c.select_font_face("WenQuanYi Micro Hei")
c.set_font_size(14)
c.move_to(20, 40)
c.show_text("中文文本 日本語のテキスト")
c.set_font_size(10)
c.move_to(20, 80)
c.show_text("한국어 텍스트")
c.move_to(20, 110)
c.show_text("繁體中文，標點。")
c.move_to(20, 140)
c.show_text("Mixed")
surface.finish()
