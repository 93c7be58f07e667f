// Opening, unlocking and reading documents built by the fixture builder.
#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

using platform::PdfDocument;

namespace {

std::string twoPageBytes(const std::optional<fixtures::Encryption>& enc = std::nullopt) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "Hello"}});
    fixtures::PageSpec second;
    second.content = "0 0 m 10 10 l S";
    second.mediaBox = {100, 100, 712, 892};
    second.rotate = -90;
    b.addPage(second);
    b.setInfo("Title", "Quarterly report");
    return b.build(enc);
}

} // namespace

TEST(PdfDocument, OpensPagesAndReadsTheirGeometry) {
    auto doc = PdfDocument::openFromMemory(twoPageBytes(), "two pages");
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->isEncrypted());
    EXPECT_TRUE(doc->isUnlocked());
    EXPECT_TRUE(doc->allowsPrinting());
    ASSERT_EQ(doc->pageCount(), 2u);
    EXPECT_FALSE(doc->page(0));
    EXPECT_FALSE(doc->page(3));

    auto p1 = doc->page(1);
    ASSERT_TRUE(p1);
    EXPECT_EQ(p1->mediaBox(), (platform::Rect{{0, 0}, {612, 792}}));
    EXPECT_EQ(p1->rotation(), 0);
    EXPECT_NE(p1->contentData().find("(Hello) Tj"), std::string::npos);

    auto p2 = doc->page(2);
    ASSERT_TRUE(p2);
    EXPECT_EQ(p2->mediaBox(), (platform::Rect{{100, 100}, {612, 792}}));
    EXPECT_EQ(p2->rotation(), -90);
    EXPECT_EQ(doc->infoDictionary().getString("Title"), std::optional<std::string>("Quarterly report"));
}

TEST(PdfDocument, RejectsWhatIsNotAPdf) {
    EXPECT_FALSE(PdfDocument::openFromMemory("", "empty"));
    EXPECT_FALSE(PdfDocument::openFromMemory("hello, this is no PDF at all", "text"));
    EXPECT_FALSE(PdfDocument::open("/nonexistent/file.pdf"));
    EXPECT_FALSE(PdfDocument::open("/tmp")); // a folder
}

TEST(PdfDocument, TruncatedFileStillOpensWhatCanBeRecovered) {
    std::string bytes = twoPageBytes();
    // Cut off the cross-reference table and trailer: qpdf reconstructs them.
    auto doc = PdfDocument::openFromMemory(bytes.substr(0, bytes.rfind("xref")), "cut");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->pageCount(), 2u);
}

struct PasswordCase {
    const char* name;
    std::string user, owner;
    bool allowPrint;
    std::string tried;        // password given to unlock ("" = none)
    bool unlocked;            // after open (+ unlock)
    bool printing;
};

void PrintTo(const PasswordCase& c, std::ostream* os) { *os << c.name; }

class PdfDocumentPasswords : public ::testing::TestWithParam<PasswordCase> {};

TEST_P(PdfDocumentPasswords, UnlocksAndReportsPrinting) {
    const PasswordCase& c = GetParam();
    auto doc = PdfDocument::openFromMemory(
        twoPageBytes(fixtures::Encryption{c.user, c.owner, c.allowPrint}), c.name);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(doc->isEncrypted());
    if (!c.tried.empty()) {
        EXPECT_EQ(doc->unlockWithPassword(c.tried), c.unlocked);
    }
    EXPECT_EQ(doc->isUnlocked(), c.unlocked);
    EXPECT_EQ(doc->pageCount(), c.unlocked ? 2u : 0u);
    EXPECT_EQ(doc->allowsPrinting(), c.printing);
    if (c.unlocked) {
        EXPECT_NE(doc->page(1)->contentData().find("(Hello) Tj"), std::string::npos);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PdfDocumentPasswords,
    ::testing::Values(
        PasswordCase{"locked_no_password", "user", "owner", true, "", false, false},
        PasswordCase{"wrong_password", "user", "owner", true, "nope", false, false},
        PasswordCase{"user_password", "user", "owner", true, "user", true, true},
        PasswordCase{"owner_password", "user", "owner", true, "owner", true, true},
        PasswordCase{"no_print_user", "user", "owner", false, "user", true, false},
        // The owner may always print, whatever the permissions say.
        PasswordCase{"no_print_owner", "user", "owner", false, "owner", true, true},
        PasswordCase{"empty_user_password", "", "owner", false, "", true, false}),
    [](const auto& info) { return std::string(info.param.name); });
