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

namespace {

/// A page of a damaged tree: its text names it, its /Parent is `parent`.
std::string treePage(int parent, int content) {
    return "<< /Type /Page /Parent " + std::to_string(parent) +
           " 0 R /MediaBox [0 0 612 792] /Contents " + std::to_string(content) + " 0 R >>";
}
std::string textStream(const std::string& text) {
    const std::string data = "BT /F1 24 Tf 72 700 Td (" + text + ") Tj ET";
    return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
}

struct TreeCase {
    const char* name;
    std::map<int, std::string> objects; ///< added to the three content streams 20-22
    std::vector<std::string> pages;     ///< the text of each page found, in order
};
void PrintTo(const TreeCase& c, std::ostream* os) {
    *os << c.name;
}

class PdfDocumentPageTrees : public ::testing::TestWithParam<TreeCase> {};

} // namespace

TEST_P(PdfDocumentPageTrees, WalksEachNodeOnceAndRepairsWhatQpdfCanReach) {
    std::map<int, std::string> objects = GetParam().objects;
    objects[20] = textStream("one");
    objects[21] = textStream("two");
    objects[22] = textStream("three");
    auto doc = PdfDocument::openFromMemory(fixtures::rawPdf(objects), GetParam().name);
    ASSERT_TRUE(doc);
    std::vector<std::string> texts;
    for (size_t n = 1; n <= doc->pageCount(); ++n) {
        auto page = doc->page(n);
        ASSERT_TRUE(page) << n;
        std::string data = page->contentData();
        size_t open = data.find('('), close = data.find(')');
        texts.push_back(open < close && close != std::string::npos
                            ? data.substr(open + 1, close - open - 1)
                            : "?");
    }
    EXPECT_EQ(texts, GetParam().pages);
}

INSTANTIATE_TEST_SUITE_P(
    Damaged, PdfDocumentPageTrees,
    ::testing::Values(
        // qpdf's own walk gives up on these ("Loop detected in /Pages structure").
        TreeCase{"KidLeadsBackToTheRoot",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"},
                  {3, treePage(2, 20)},
                  {4, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 2 0 R] /Count 1 >>"},
                  {5, treePage(4, 21)}},
                 {"one", "two"}},
        TreeCase{"NodeListsItself",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"},
                  {3, treePage(2, 20)},
                  {4, "<< /Type /Pages /Parent 2 0 R /Kids [4 0 R 5 0 R] /Count 1 >>"},
                  {5, treePage(4, 21)}},
                 {"one", "two"}},
        TreeCase{"GrandchildListsItsParentAndPagesFollow",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 4 0 R 6 0 R] /Count 3 >>"},
                  {3, treePage(2, 20)},
                  {4, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R] /Count 1 >>"},
                  {5, "<< /Type /Pages /Parent 4 0 R /Kids [4 0 R 7 0 R] /Count 1 >>"},
                  {6, treePage(2, 22)},
                  {7, treePage(5, 21)}},
                 {"one", "two", "three"}},
        TreeCase{"NodeListedTwiceIsWalkedOnce",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [4 0 R 3 0 R 4 0 R] /Count 3 >>"},
                  {3, treePage(2, 21)},
                  {4, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R] /Count 1 >>"},
                  {5, treePage(4, 20)}},
                 {"one", "two"}},
        TreeCase{"PageListedTwiceIsConvertedTwice",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 3 0 R] /Count 2 >>"},
                  {3, treePage(2, 20)}},
                 {"one", "one"}},
        TreeCase{"MissingAndBrokenKidsAreLeftOut",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 8 0 R 42 (x) 4 0 R] /Count 4 >>"},
                  {3, treePage(2, 20)},
                  {4, treePage(2, 21)}},
                 {"one", "two"}},
        TreeCase{"PagesPointsAtAPage",
                 {{1, "<< /Type /Catalog /Pages 3 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"},
                  {3, treePage(2, 20)},
                  {4, treePage(2, 21)}},
                 {"one", "two"}},
        // The catalog's tree gives no page: the tree found among the objects.
        TreeCase{"CatalogWithoutPages",
                 {{1, "<< /Type /Catalog >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"},
                  {3, treePage(2, 20)},
                  {4, treePage(2, 21)}},
                 {"one", "two"}},
        TreeCase{"PagesToAMissingObject",
                 {{1, "<< /Type /Catalog /Pages 9 0 R >>"},
                  {2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>"},
                  {3, treePage(2, 20)},
                  {4, treePage(2, 21)}},
                 {"one", "two"}},
        // No tree at all: the page objects, in object order.
        TreeCase{"RootWithoutKids",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Count 2 >>"},
                  {3, treePage(2, 20)},
                  {4, treePage(2, 21)}},
                 {"one", "two"}},
        // A sound tree without pages brings back no page it does not list.
        TreeCase{"SoundEmptyTree",
                 {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
                  {2, "<< /Type /Pages /Kids [] /Count 0 >>"},
                  {3, treePage(2, 20)}},
                 {}}),
    [](const auto& info) { return std::string(info.param.name); });
