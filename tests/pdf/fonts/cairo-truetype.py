#!/usr/bin/python3
"""Writes a PDF with DejaVu Sans (fonts-dejavu-core) through cairo, which embeds
text of the WinAnsi range as a subset simple /TrueType font with
/WinAnsiEncoding and a /ToUnicode map. Usage: cairo-truetype.py OUTPUT.pdf"""
import sys

import cairo

surface = cairo.PDFSurface(sys.argv[1], 300, 200)
c = cairo.Context(surface)
c.select_font_face("DejaVu Sans")
c.set_font_size(12)
c.move_to(20, 40)
c.show_text("Hello \u201cquoted\u201d world \u2014 it\u2019s na\u00efve")
c.move_to(20, 80)
c.set_font_size(9)
c.show_text("Price: \u20ac12.50 \u2022 \u00bd off")
surface.finish()
