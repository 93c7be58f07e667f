// Writes the fuzz target's seed inputs into a folder: small PDFs, built with
// the test fixture builder, that between them reach every part of the
// spreadsheet road (text operators and fonts of each kind, forms, images,
// colour spaces, shadings, clips, fills, rotations, encryption, damage).
// usage: corvala_fuzz_seeds OUTDIR

#include "fixtures/PdfBuilder.h"

#include <cstdio>
#include <exception>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

using fixtures::PageSpec;
using fixtures::PdfBuilder;

namespace {

std::string tablePage(int rows) {
    std::string c = "BT /F1 9 Tf\n";
    for (int r = 0; r < rows; ++r) {
        double y = 740 - r * 14;
        c += "1 0 0 1 50 " + std::to_string(y) + " Tm (Item " + std::to_string(r) + ") Tj\n";
        c += "1 0 0 1 200 " + std::to_string(y) + " Tm (" + std::to_string(r * 1234) + ".50) Tj\n";
        c += "1 0 0 1 300 " + std::to_string(y) + " Tm ($1,234.5" + std::to_string(r % 10) +
             ") Tj\n";
        c += "1 0 0 1 400 " + std::to_string(y) + " Tm (" + std::to_string(r % 100) + "%) Tj\n";
    }
    c += "ET\n0.5 w 45 " + std::to_string(740 - rows * 14) + " 420 " +
         std::to_string(rows * 14 + 12) + " re S\n";
    return c;
}

std::string helvetica(PdfBuilder& b) {
    return "<< /Font << /F1 " + b.addStandardFont() + " >> >>";
}

using Maker = std::function<std::string(PdfBuilder&)>;

struct Seed {
    const char* name;
    std::function<void(PdfBuilder&)> build;
    bool encrypt = false;
};

std::vector<Seed> seeds() {
    return {
        {"table",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             p.content = tablePage(20);
             b.addPage(p);
             p.content = tablePage(5);
             p.compress = true;
             b.addPage(p);
             b.setInfo("Title", "Seed table");
         }},
        {"rotated",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             p.content = tablePage(6);
             p.rotate = 90;
             p.mediaBox = {100, 100, 712, 892};
             b.addPage(p);
             p.rotate = 270;
             p.content = "q 0 1 -1 0 300 100 cm " + tablePage(3) + " Q";
             b.addPage(p);
         }},
        {"text-operators",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             p.content = "BT /F1 12 Tf 14 TL 72 700 Td (first) Tj T* (second) ' 2 1 (third) \"\n"
                         "[(Sp) -250 (aced) 120 (kern)] TJ 3 Tc 2 Tw 80 Tz 4 Ts (styled) Tj\n"
                         "0 Tc 0 Tw 100 Tz 0 Ts 2 Tr (clip) Tj 7 Tr (invisible) Tj 0 Tr\n"
                         "0 -20 TD (down) Tj 2 0 0 2 72 500 Tm (big) Tj\n"
                         "-1 0 0 1 300 400 Tm (mirror) Tj 0 1 -1 0 400 300 Tm (turned) Tj ET";
             b.addPage(p);
         }},
        {"simple-font-differences-tounicode",
         [](PdfBuilder& b) {
             std::string cmap =
                 b.addStream("", "/CIDInit /ProcSet findresource begin 12 dict begin begincmap\n"
                                 "1 begincodespacerange <00> <FF> endcodespacerange\n"
                                 "2 beginbfchar <41> <0042> <42> <00660069> endbfchar\n"
                                 "1 beginbfrange <61> <7A> <0061> endbfrange\n"
                                 "endcmap CMapName currentdict /CMap defineresource pop end end");
             std::string font = b.addObject(
                 "<< /Type /Font /Subtype /Type1 /BaseFont /ABCDEF+Times-Bold /FirstChar 32 "
                 "/LastChar 126 /Widths [" +
                 std::string(95 * 4, ' ').replace(0, 0, "250 333 408 500 ") +
                 "] /Encoding << /Type /Encoding /BaseEncoding /MacRomanEncoding /Differences "
                 "[39 /quoteright 65 /A /fi 96 /quoteleft 128 /Euro /bullet] >> /ToUnicode " +
                 cmap +
                 " /FontDescriptor << /Type /FontDescriptor /FontName /ABCDEF+Times-Bold "
                 "/Flags 262178 /FontBBox [-168 -218 1000 935] /ItalicAngle 0 /Ascent 683 "
                 "/Descent -217 /CapHeight 676 /StemV 139 >> >>");
             PageSpec p;
             p.resources = "<< /Font << /F1 " + font + " >> >>";
             p.content = "BT /F1 11 Tf 72 700 Td (ABab it's \200\201 xyz) Tj ET";
             b.addPage(p);
         }},
        {"type3",
         [](PdfBuilder& b) {
             std::string glyph = b.addStream("", "500 0 0 0 400 600 d1 0 0 400 600 re f");
             std::string font = b.addObject(
                 "<< /Type /Font /Subtype /Type3 /FontBBox [0 0 500 700] /FontMatrix "
                 "[0.001 0 0 0.001 0 0] /CharProcs << /g1 " +
                 glyph +
                 " >> /Encoding << /Type /Encoding /Differences [65 /g1 /uni0042 /a67] >> "
                 "/FirstChar 65 /LastChar 67 /Widths [500 500 500] /Resources << >> >>");
             PageSpec p;
             p.resources = "<< /Font << /T3 " + font + " >> >>";
             p.content = "BT /T3 20 Tf 72 600 Td (ABCABC) Tj ET";
             b.addPage(p);
         }},
        {"forms",
         [](PdfBuilder& b) {
             std::string font = b.addStandardFont("Courier");
             std::string inner = b.addStream(
                 "<< /Type /XObject /Subtype /Form /BBox [0 0 200 50] /Resources << /Font << /F2 " +
                     font + " >> >> >>",
                 "BT /F2 10 Tf 5 5 Td (inner form) Tj ET");
             std::string outer = b.addStream(
                 "<< /Type /XObject /Subtype /Form /BBox [0 0 300 300] /Matrix [1 0 0 1 10 10] "
                 "/Resources << /XObject << /In " +
                     inner + " >> >> >>",
                 "q 1 0 0 1 0 100 cm /In Do Q /In Do");
             // A form whose resources name the form itself.
             std::string selfNames = b.reserveObject();
             std::string self = b.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] "
                                            "/Resources << /XObject " +
                                                selfNames + " >> >>",
                                            "/Me Do");
             b.setObject(selfNames, "<< /Me " + self + " >>");
             PageSpec p;
             p.resources = "<< /XObject << /Out " + outer + " /Self " + self + " >> >>";
             p.content = "/Out Do 2 0 0 2 100 300 cm /Out Do /Self Do";
             b.addPage(p);
         }},
        {"images",
         [](PdfBuilder& b) {
             std::string gray(16 * 16, '\0');
             for (size_t i = 0; i < gray.size(); ++i)
                 gray[i] = static_cast<char>(i * 7);
             std::string img = b.addStream("<< /Type /XObject /Subtype /Image /Width 16 /Height 16 "
                                           "/ColorSpace /DeviceGray /BitsPerComponent 8 >>",
                                           gray, true);
             std::string mask = b.addStream("<< /Type /XObject /Subtype /Image /Width 8 /Height 8 "
                                            "/ImageMask true /Decode [1 0] >>",
                                            std::string(8, '\x5a'));
             std::string indexed = b.addStream(
                 "<< /Type /XObject /Subtype /Image /Width 4 /Height 4 /ColorSpace [/Indexed "
                 "/DeviceRGB 1 <ff000000ff00>] /BitsPerComponent 1 >>",
                 std::string(4, '\xa0'));
             PageSpec p;
             p.resources =
                 "<< /XObject << /Im1 " + img + " /Mk " + mask + " /Ix " + indexed + " >> >>";
             p.content = "q 100 0 0 100 50 600 cm /Im1 Do Q q 1 0 0 rg 50 0 0 50 200 600 cm /Mk "
                         "Do Q q 40 0 0 40 300 600 cm /Ix Do Q\n"
                         "q 20 0 0 20 400 600 cm BI /W 4 /H 4 /CS /RGB /BPC 8 ID\n" +
                         std::string(48, '\x80') + "\nEI Q";
             b.addPage(p);
         }},
        {"colours-shadings",
         [](PdfBuilder& b) {
             std::string fn =
                 b.addObject("<< /FunctionType 2 /Domain [0 1] /C0 [0] /C1 [1] /N 1 >>");
             std::string ps =
                 b.addStream("<< /FunctionType 4 /Domain [0 1] /Range [0 1 0 1 0 1 0 1] >>",
                             "{ dup 0.5 mul exch dup 0.3 mul exch 0 }");
             std::string shading = b.addObject(
                 "<< /ShadingType 2 /ColorSpace /DeviceRGB /Coords [0 0 100 0] /Function << "
                 "/FunctionType 2 /Domain [0 1] /C0 [1 0 0] /C1 [0 0 1] /N 1 >> /Extend [true "
                 "true] >>");
             PageSpec p;
             p.resources =
                 "<< /Font << /F1 " + b.addStandardFont() +
                 " >> /ColorSpace << /Sp [/Separation /Spot /DeviceCMYK " + ps +
                 "] /Gr [/Separation /G /DeviceGray " + fn +
                 "] /Lab [/Lab << /WhitePoint [0.95 1 1.09] /Range [-100 100 -100 100] >>] /Ix "
                 "[/Indexed /DeviceRGB 2 <ff0000 00ff00 0000ff>] /Pt [/Pattern /DeviceRGB] >> "
                 "/Shading << /Sh " +
                 shading + " >> /Pattern << /P1 << /PatternType 2 /Shading " + shading +
                 " >> >> /ExtGState << /G1 << /CA 0.5 /ca 0.5 /LW 3 /BM /Multiply /D [[3 2] 0] "
                 "/Font [" +
                 b.addStandardFont("Times-Roman") + " 14] >> >> >>";
             p.content =
                 "/Sp cs 0.7 scn 50 50 100 100 re f /Gr CS 0.2 SCN 2 w 50 200 100 100 re S\n"
                 "/Lab cs 50 20 -30 sc 200 50 50 50 re f /Ix cs 1 sc 200 200 50 50 re f\n"
                 "/Pattern cs /P1 scn 300 50 100 100 re f /G1 gs q 0 0 200 200 re W n /Sh "
                 "sh Q\n 0.1 0.2 0.3 0.4 k 0.5 G 1 0 0 RG 0.2 g\n"
                 "BT /F1 12 Tf 0 0 1 rg 300 300 Td (Coloured) Tj /Sp cs 0.4 scn (spot) Tj ET";
             b.addPage(p);
         }},
        {"paths-clips-fills",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             std::string c = "0.9 g 40 600 500 20 re f 0.8 0.9 1 rg 40 580 250 20 re f*\n"
                             "1 j 2 J 4 M [2 1] 0 d 0 0 m 100 100 l 100 0 50 50 200 0 c "
                             "250 50 300 0 v 300 100 400 100 y h S\n"
                             "q 50 50 m 150 50 l 100 150 l h W* n 0 0 1 rg 0 0 300 300 re f Q\n"
                             "q 10 10 500 500 re W n BT /F1 10 Tf 60 590 Td (Shaded cell) Tj ET Q\n"
                             "40 500 m 540 500 l 40 480 m 540 480 l S b B b* B* s n\n";
             for (int i = 0; i < 10; ++i)
                 c += "0 0 0 RG 0.5 w " + std::to_string(40 + i * 50) + " 300 m " +
                      std::to_string(40 + i * 50) + " 450 l S\n";
             p.content = c;
             b.addPage(p);
         }},
        {"damaged",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             p.content = "BT /F1 Tf /Missing 12 Tf (no font) Tj /F1 12 Tf ] } >> (unbalanced "
                         "Tj [1 2 (x) Tj << /A [ >> ET Q Q Q q q cm 1 0 0 0 0 0 cm (zero) Tj\n"
                         "BX /Unknown op EX /Tag BMC /Tag << /MCID 0 >> BDC EMC EMC 1e400 0 Td "
                         "99999999999999999999 Tz (end) Tj /Nothing Do /Nothing sh /Nothing gs";
             b.addPage(p);
             p.mediaBox = {0, 0, 0, 0};
             p.content = "BT /F1 12 Tf (empty box) Tj ET";
             b.addPage(p);
             p.mediaBox = {};
             b.addPage(p);
         }},
        {"many-runs",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             std::string c = "BT /F1 4 Tf\n";
             for (int r = 0; r < 60; ++r)
                 for (int col = 0; col < 12; ++col)
                     c += "1 0 0 1 " + std::to_string(20 + col * 48) + " " +
                          std::to_string(770 - r * 12.5) + " Tm (" + std::to_string(r * col) +
                          ") Tj\n";
             p.content = c + "ET";
             p.compress = true;
             b.addPage(p);
         }},
        {"encrypted",
         [](PdfBuilder& b) {
             PageSpec p;
             p.resources = helvetica(b);
             p.content = tablePage(3);
             b.addPage(p);
         },
         true},
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTDIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    int status = 0;
    for (const Seed& seed : seeds()) {
        try {
            PdfBuilder b;
            seed.build(b);
            std::optional<fixtures::Encryption> enc;
            if (seed.encrypt)
                enc = fixtures::Encryption{"", "owner", true};
            b.writeTo(dir + "/" + seed.name + ".pdf", enc);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "seed %s: %s\n", seed.name, e.what());
            status = 1;
        }
    }
    return status;
}
