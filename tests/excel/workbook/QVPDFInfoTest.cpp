#include "excel/workbook/QVPDFInfo.h"

#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

const char* kNote = "Converted from PDF with Corvala.\nhttps://corvala.example.org/";

std::unique_ptr<QVPDFInfo> infoOf(const std::vector<std::pair<std::string, std::string>>& entries) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 720, 12, "x"}});
    for (const auto& [k, v] : entries)
        b.setInfo(k, v);
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "info.pdf");
    EXPECT_TRUE(doc);
    return QVPDFInfo::initWithCGPDFDocument(doc.get());
}

TEST(QVPDFInfoTest, WithoutInformationTheApplicationTextsStand) {
    auto info = infoOf({});
    ASSERT_TRUE(info);
    EXPECT_EQ(info->title(), "");
    EXPECT_EQ(info->subject(), "");
    EXPECT_EQ(info->keywords(), "");
    EXPECT_EQ(info->producer(), "");
    EXPECT_EQ(info->author(), "Corvala");
    EXPECT_EQ(info->creator(), "Corvala");
    EXPECT_EQ(info->note(), kNote);
    EXPECT_FALSE(QVPDFInfo::initWithCGPDFDocument(nullptr));
}

TEST(QVPDFInfoTest, InformationEntriesReplaceAllButCreatorAndNote) {
    auto info = infoOf({{"Title", "Q3 figures"},
                        {"Author", ""},
                        {"Subject", "Sales"},
                        {"Keywords", "a, b"},
                        {"Creator", "Some Writer"},
                        {"Producer", "Some Producer"}});
    ASSERT_TRUE(info);
    EXPECT_EQ(info->title(), "Q3 figures");
    EXPECT_EQ(info->author(), ""); // an empty Author is the PDF's, not the list's
    EXPECT_EQ(info->subject(), "Sales");
    EXPECT_EQ(info->keywords(), "a, b");
    EXPECT_EQ(info->producer(), "Some Producer");
    EXPECT_EQ(info->creator(), "Corvala");
    EXPECT_EQ(info->note(), kNote);
}

TEST(QVPDFInfoTest, TitleInUTF16AndPDFDocEncodingReadAlike) {
    // "Café • ﬁ €" both ways.
    auto doc = infoOf({{"Title", "Caf\xE9 \x80 \x93 \xA0"}});
    auto utf16 = infoOf({{"Title", std::string("\xFE\xFF\x00"
                                               "C\x00"
                                               "a\x00"
                                               "f\x00\xE9\x00 \x20\x22\x00 \xFB\x01\x00 \x20\xAC",
                                               22)}});
    ASSERT_TRUE(doc && utf16);
    EXPECT_EQ(doc->title(), "Caf\xC3\xA9 \xE2\x80\xA2 \xEF\xAC\x81 \xE2\x82\xAC");
    EXPECT_EQ(utf16->title(), doc->title());
}

TEST(QVPDFInfoTest, EntriesThatAreNoStringsAreIgnored) {
    const std::string pdf = "%PDF-1.4\n"
                            "1 0 obj << /Type /Catalog /Pages 2 0 R >> endobj\n"
                            "2 0 obj << /Type /Pages /Kids [] /Count 0 >> endobj\n"
                            "3 0 obj << /Author /Somebody /Title 42 >> endobj\n"
                            "trailer << /Root 1 0 R /Info 3 0 R >>\n%%EOF\n";
    auto doc = platform::PdfDocument::openFromMemory(pdf, "names.pdf");
    ASSERT_TRUE(doc);
    auto info = QVPDFInfo::initWithCGPDFDocument(doc.get());
    ASSERT_TRUE(info);
    EXPECT_EQ(info->author(), "Corvala");
    EXPECT_EQ(info->title(), "");
}

TEST(QVPDFInfoTest, TextStringDecoding) {
    const std::pair<std::string, std::string> cases[] = {
        {"plain", "plain"},
        {std::string("\x7F\xAD\x9F", 3), "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"},
        {"\x18\x1F", "\xCB\x98\xCB\x9C"},
        // UTF-16BE: a pair, a lone high surrogate, an odd last byte.
        {std::string("\xFE\xFF\xD8\x3D\xDE\x00\xD8\x00\x00"
                     "A\x00",
                     11),
         "\xF0\x9F\x98\x80\xEF\xBF\xBD"
         "A\xEF\xBF\xBD"},
        {"\xEF\xBB\xBFna\xC3\xAFve\xFF", "na\xC3\xAFve\xEF\xBF\xBD"},
    };
    for (const auto& [bytes, utf8] : cases)
        EXPECT_EQ(QVPDFInfo::decodePDFTextString(bytes), utf8);
}

TEST(QVPDFInfoTest, MissingPropertyListLeavesTheTextsEmpty) {
    const std::string root = fixtures::makeTestFolder("no-plist");
    const char* saved = std::getenv("CORVALA_RESOURCES");
    const std::string previous = saved ? saved : "";
    ::setenv("CORVALA_RESOURCES", root.c_str(), 1);
    auto info = infoOf({{"Title", "T"}});
    if (saved)
        ::setenv("CORVALA_RESOURCES", previous.c_str(), 1);
    else
        ::unsetenv("CORVALA_RESOURCES");
    ASSERT_TRUE(info);
    EXPECT_EQ(info->title(), "T");
    EXPECT_EQ(info->author(), "");
    EXPECT_EQ(info->creator(), "");
    EXPECT_EQ(info->note(), "");
}

} // namespace
