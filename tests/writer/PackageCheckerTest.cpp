// The package checker must catch what a strict reader rejects: a checker
// that passes everything would let every later package test pass too.

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

namespace {

// Writes a minimal sound workbook, then applies one named fault to it.
const char* kMakeWorkbook = R"PY(
import sys, zipfile
out, fault = sys.argv[1], sys.argv[2]
S = 'http://schemas.openxmlformats.org/spreadsheetml/2006/main'
R = 'http://schemas.openxmlformats.org/officeDocument/2006/relationships'
P = 'http://schemas.openxmlformats.org/package/2006/relationships'
CT = 'application/vnd.openxmlformats-officedocument.spreadsheetml.'
sheet = ('<worksheet xmlns="%s"><sheetViews><sheetView tabSelected="1" workbookViewId="0"/>'
         '</sheetViews><cols><col min="1" max="2" width="12"/></cols><sheetData>'
         '<row r="1" ht="15"><c r="A1" t="s"><v>0</v></c><c r="B1" s="1"><v>1.5</v></c></row>'
         '<row r="2"><c r="A2"><v>-2E3</v></c></row></sheetData>'
         '<mergeCells count="1"><mergeCell ref="B2:C3"/></mergeCells></worksheet>') % S
parts = {
  '[Content_Types].xml': ('<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
      '<Default Extension="xml" ContentType="application/xml"/>'
      '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
      '<Override PartName="/xl/workbook.xml" ContentType="%ssheet.main+xml"/>'
      '<Override PartName="/xl/worksheets/sheet1.xml" ContentType="%sworksheet+xml"/>'
      '<Override PartName="/xl/styles.xml" ContentType="%sstyles+xml"/>'
      '<Override PartName="/xl/sharedStrings.xml" ContentType="%ssharedStrings+xml"/></Types>') % (CT, CT, CT, CT),
  '_rels/.rels': ('<Relationships xmlns="%s"><Relationship Id="rId1" Target="xl/workbook.xml" '
      'Type="%s/officeDocument"/></Relationships>') % (P, R),
  'xl/workbook.xml': ('<workbook xmlns="%s" xmlns:r="%s"><sheets><sheet name="Sheet 1" sheetId="1" '
      'r:id="rId1"/></sheets></workbook>') % (S, R),
  'xl/_rels/workbook.xml.rels': ('<Relationships xmlns="%s">'
      '<Relationship Id="rId1" Type="%s/worksheet" Target="worksheets/sheet1.xml"/>'
      '<Relationship Id="rId2" Type="%s/styles" Target="styles.xml"/>'
      '<Relationship Id="rId3" Type="%s/sharedStrings" Target="sharedStrings.xml"/>'
      '</Relationships>') % (P, R, R, R),
  'xl/worksheets/sheet1.xml': sheet,
  'xl/sharedStrings.xml': '<sst xmlns="%s"><si><t>x</t></si></sst>' % S,
  'xl/styles.xml': ('<styleSheet xmlns="%s"><numFmts count="1"><numFmt numFmtId="164" formatCode="0.0"/>'
      '</numFmts><fonts count="1"><font><sz val="11"/><color rgb="FF000000"/><name val="A"/></font></fonts>'
      '<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/>'
      '</fill></fills><borders count="1"><border/></borders><cellStyleXfs count="1"><xf/></cellStyleXfs>'
      '<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>'
      '<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0"/></cellXfs></styleSheet>') % S,
}
def edit(part, old, new):
    assert old in parts[part], (part, old)
    parts[part] = parts[part].replace(old, new, 1)
faults = {
  'sound': lambda: None,
  'malformed': lambda: edit('xl/sharedStrings.xml', '</si>', '</s>'),
  'uncovered part': lambda: parts.__setitem__('xl/extra.bin', 'x'),
  'dangling target': lambda: edit('xl/_rels/workbook.xml.rels', 'styles.xml"', 'nostyles.xml"'),
  'missing override part': lambda: parts.pop('xl/sharedStrings.xml'),
  'rows descending': lambda: edit('xl/worksheets/sheet1.xml', 'row r="2"><c r="A2"', 'row r="1"><c r="A1"'),
  'cells descending': lambda: edit('xl/worksheets/sheet1.xml', 'r="B1" s="1"', 'r="A1" s="1"'),
  'merge covers value': lambda: edit('xl/worksheets/sheet1.xml', 'B2:C3', 'A1:B2'),
  'merges overlap': lambda: edit('xl/worksheets/sheet1.xml', '<mergeCell ref="B2:C3"/>',
                                 '<mergeCell ref="B2:C3"/><mergeCell ref="C3:D4"/>'),
  'text in number': lambda: edit('xl/worksheets/sheet1.xml', '<v>1.5</v>', '<v>1,5</v>'),
  'string index': lambda: edit('xl/worksheets/sheet1.xml', '<v>0</v>', '<v>1</v>'),
  'style index': lambda: edit('xl/worksheets/sheet1.xml', 's="1"', 's="2"'),
  'format id below 164': lambda: edit('xl/styles.xml', 'numFmtId="164" formatCode', 'numFmtId="20" formatCode'),
  'no selected tab': lambda: edit('xl/worksheets/sheet1.xml', ' tabSelected="1"', ''),
  'row too high': lambda: edit('xl/worksheets/sheet1.xml', 'ht="15"', 'ht="410"'),
  'column too wide': lambda: edit('xl/worksheets/sheet1.xml', 'width="12"', 'width="256"'),
  'beyond the last row': lambda: edit('xl/worksheets/sheet1.xml', 'B2:C3', 'B2:C1048577'),
  'colour not ARGB': lambda: edit('xl/styles.xml', 'FF000000', 'FF(null)'),
  'font too large': lambda: edit('xl/styles.xml', '<sz val="11"/>', '<sz val="410"/>'),
  'sheet not listed': lambda: edit('xl/workbook.xml', '<sheet name="Sheet 1" sheetId="1" r:id="rId1"/>', ''),
  'folder entry': lambda: parts.__setitem__('xl/media/', ''),
}
faults[fault]()
with zipfile.ZipFile(out, 'w', zipfile.ZIP_DEFLATED) as z:
    for name, text in parts.items():
        z.writestr(name, text)
)PY";

TEST(PackageCheckerTest, FlagsEachFault) {
    const std::string folder = fixtures::makeTestFolder("package-checker");
    struct Case {
        const char* fault;
        const char* report; // a piece of the expected report; "" for a sound package
    };
    const Case cases[] = {
        {"sound", ""},
        {"malformed", "not well-formed"},
        {"uncovered part", "no content type covers the part xl/extra.bin"},
        {"dangling target", "not in the package: xl/nostyles.xml"},
        {"missing override part", "Override for a part that is not in the package"},
        {"rows descending", "row 1 not after row 1"},
        {"cells descending", "cell A1 not after column 1"},
        {"merge covers value", "covers the value of another cell"},
        {"merges overlap", "overlap"},
        {"text in number", "numeric cell B1 holds '1,5'"},
        {"string index", "shared-string index '1' out of range"},
        {"style index", "style 2 out of range"},
        {"format id below 164", "custom number format id 20 below 164"},
        {"no selected tab", "0 sheets carry tabSelected"},
        {"row too high", "height 410"},
        {"column too wide", "column width 256"},
        {"beyond the last row", "beyond Excel's limits"},
        {"colour not ARGB", "is not 8 hex digits"},
        {"font too large", "font size 410"},
        {"sheet not listed", "differ from worksheet parts"},
        {"folder entry", "folder entry in the zip: xl/media/"},
    };
    for (const Case& c : cases) {
        const std::string book = folder + "/" + std::string(c.fault) + ".xlsx";
        auto made = fixtures::runPython(kMakeWorkbook, {book, c.fault});
        ASSERT_TRUE(made.ok()) << c.fault << ": " << made.output;
        auto check = fixtures::checkPackage(book);
        if (*c.report == '\0') {
            EXPECT_TRUE(check.ok()) << check.output;
        } else {
            EXPECT_FALSE(check.ok()) << c.fault;
            EXPECT_NE(check.output.find(c.report), std::string::npos)
                << c.fault << ": " << check.output;
        }
    }
}

TEST(PackageCheckerTest, RejectsWhatIsNoZip) {
    const std::string folder = fixtures::makeTestFolder("package-checker-nozip");
    auto made = fixtures::runPython("open(__import__('sys').argv[1], 'w').write('PK?')",
                                    {folder + "/broken.xlsx"});
    ASSERT_TRUE(made.ok()) << made.output;
    auto check = fixtures::checkPackage(folder + "/broken.xlsx");
    EXPECT_EQ(check.exitCode, 1);
    EXPECT_NE(check.output.find("not a readable zip file"), std::string::npos) << check.output;
}

} // namespace
