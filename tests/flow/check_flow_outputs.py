#!/usr/bin/python3
"""Reads flowing-text outputs back with real programs.

  check_flow_outputs.py html FILE EXPECT
      Loads FILE in headless Chromium (--dump-dom): the parsed document must
      hold exactly one style element, no script, no element but those we
      write, and the body text and title given in the JSON file EXPECT
      ({"body": ..., "title": ...}; the body's outer blanks aside).
  check_flow_outputs.py rtf FILE WORKDIR EXPECT
      Converts FILE with LibreOffice to flat ODF text: its non-empty
      paragraphs (tabs as \\t, line breaks as \\n) must be EXPECT's
      "paragraphs", and its font declarations must name every one of
      EXPECT's "fonts".

Prints what it read; exits 0 when it matches, 1 when not, 77 when the
program it needs is not installed.
"""
import html.parser
import json
import os
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET


ALLOWED_TAGS = {"html", "head", "title", "meta", "style", "body", "p", "span", "b", "i", "br"}


class DomReader(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = []
        self.body = []
        self.title = []
        self.where = None

    def handle_starttag(self, tag, attrs):
        self.tags.append(tag)
        if tag in ("body", "title"):
            self.where = tag
        if tag == "br" and self.where == "body":
            self.body.append("\n")

    def handle_endtag(self, tag):
        if tag == "title":
            self.where = None

    def handle_data(self, data):
        if self.where == "body":
            self.body.append(data)
        elif self.where == "title":
            self.title.append(data)


def check_html(path, expect):
    browser = shutil.which("chromium") or shutil.which("chromium-browser")
    if not browser:
        print("chromium is not installed")
        return 77
    profile = path + ".chromium-profile"
    dom = subprocess.run(
        [browser, "--headless", "--no-sandbox", "--disable-gpu", "--user-data-dir=" + profile,
         "--dump-dom", "file://" + os.path.abspath(path)],
        capture_output=True, timeout=120).stdout.decode("utf-8")
    shutil.rmtree(profile, ignore_errors=True)
    reader = DomReader()
    reader.feed(dom)
    report = {"tags": reader.tags, "body": "".join(reader.body).strip(),
              "title": "".join(reader.title)}
    print(json.dumps(report, ensure_ascii=False))
    ok = (reader.tags.count("style") == 1 and "script" not in reader.tags
          and set(reader.tags) <= ALLOWED_TAGS and report["body"] == expect["body"]
          and report["title"] == expect["title"])
    return 0 if ok else 1


TEXT = "urn:oasis:names:tc:opendocument:xmlns:text:1.0"
STYLE = "urn:oasis:names:tc:opendocument:xmlns:style:1.0"


def paragraph_text(element):
    out = []
    if element.text:
        out.append(element.text)
    for child in element:
        name = child.tag.split("}")[1]
        if name == "tab":
            out.append("\t")
        elif name == "line-break":
            out.append("\n")
        elif name == "s":
            out.append(" " * int(child.get("{%s}c" % TEXT, "1")))
        else:
            out.append(paragraph_text(child))
        if child.tail:
            out.append(child.tail)
    return "".join(out)


def check_rtf(path, workdir, expect):
    office = shutil.which("soffice")
    if not office:
        print("LibreOffice is not installed")
        return 77
    run = subprocess.run(
        [office, "-env:UserInstallation=file://" + os.path.abspath(workdir) + "/profile",
         "--headless", "--convert-to", "fodt", "--outdir", workdir, path],
        capture_output=True, timeout=180)
    name = os.path.splitext(os.path.basename(path))[0] + ".fodt"
    converted = os.path.join(workdir, name)
    if not os.path.exists(converted):
        print("LibreOffice did not convert the file: " + run.stdout.decode() + run.stderr.decode())
        return 1
    root = ET.parse(converted).getroot()
    paragraphs = [paragraph_text(p) for p in root.iter("{%s}p" % TEXT)]
    fonts = [f.get("{%s}name" % STYLE) for f in root.iter("{%s}font-face" % STYLE)]
    print(json.dumps({"paragraphs": paragraphs, "fonts": fonts}, ensure_ascii=False))
    ok = ([p for p in paragraphs if p] == expect["paragraphs"]
          and all(f in fonts for f in expect["fonts"]))
    return 0 if ok else 1


def main():
    with open(sys.argv[-1], encoding="utf-8") as f:
        expect = json.load(f)
    if sys.argv[1] == "html":
        return check_html(sys.argv[2], expect)
    return check_rtf(sys.argv[2], sys.argv[3], expect)


if __name__ == "__main__":
    sys.exit(main())
