// Decoding and scanning within limits: a stream refused for its decoded
// length (a Flate bomb) is told apart from a damaged one, a damaged stream
// still gives what decoded before the damage, a page's content streams count
// together against its limit, and the scanner counts every operator.
#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::PdfObject;

// A one-page document whose /Contents are the given streams (their filter
// entries and raw bytes), written out by hand so the bytes stay as given.
std::unique_ptr<platform::PdfDocument>
documentWith(const std::vector<std::pair<std::string, std::string>>& streams) {
    std::vector<std::string> objects = {"<< /Type /Catalog /Pages 2 0 R >>",
                                        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>", ""};
    std::string refs;
    for (const auto& [filter, data] : streams) {
        objects.push_back("<< /Length " + std::to_string(data.size()) + " " + filter +
                          " >>\nstream\n" + data + "\nendstream");
        refs += std::to_string(objects.size()) + " 0 R ";
    }
    objects[2] = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 100 100] /Contents [" + refs + "] >>";
    std::string pdf = "%PDF-1.7\n";
    std::string xref = "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (size_t i = 0; i < objects.size(); ++i) {
        std::string offset = std::to_string(pdf.size());
        xref += std::string(10 - offset.size(), '0') + offset + " 00000 n \n";
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::string start = std::to_string(pdf.size());
    pdf += xref + "trailer\n<< /Size " + std::to_string(objects.size() + 1) +
           " /Root 1 0 R >>\nstartxref\n" + start + "\n%%EOF\n";
    return platform::PdfDocument::openFromMemory(pdf, "budget");
}

TEST(PdfBudget, StreamsDecodeWithinTheirLimit) {
    const std::string bomb = fixtures::flateEncode(std::string(1 << 20, ' '));
    const std::string damaged =
        fixtures::flateEncode("0 0 m 1 1 l S " + std::string(5000, 'x')).substr(0, 40);
    auto doc = documentWith({{"/Filter /FlateDecode", bomb}, {"/Filter /FlateDecode", damaged}});
    PdfObject contents = doc->page(1)->dictionary().get("Contents");

    bool exceeded = false;
    EXPECT_FALSE(contents.at(0).streamData(1000, &exceeded));
    EXPECT_TRUE(exceeded);
    auto whole = contents.at(0).streamData(1 << 20, &exceeded);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->size(), size_t(1) << 20);
    EXPECT_FALSE(exceeded);

    // What decoded before the damage is kept, and it is no refusal for length.
    auto part = contents.at(1).streamData(1 << 20, &exceeded);
    ASSERT_TRUE(part);
    EXPECT_EQ(part->rfind("0 0 m 1 1 l S", 0), 0u);
    EXPECT_FALSE(exceeded);
}

TEST(PdfBudget, ContentStreamsCountTogether) {
    auto doc = documentWith({{"", std::string(600, ' ')}, {"", std::string(399, ' ')}});
    auto page = doc->page(1);
    EXPECT_EQ(page->contentData(1000).size(), 1000u); // with the line break between them
    try {
        (void)page->contentData(999);
        ADD_FAILURE() << "999 bytes held 1000";
    } catch (const platform::PdfBudgetExceeded& e) {
        EXPECT_STREQ(e.what(), "The page's content decodes to more than 999 bytes.");
    }
    EXPECT_THROW((void)page->contentData(500), platform::PdfBudgetExceeded);
}

TEST(PdfBudget, ScannerCountsEveryOperator) {
    platform::PdfOperatorTable table;
    table.setCallback("n", [](platform::PdfScanner&, void*) {});
    auto scan = [&](const std::string& content, uint64_t limit) {
        platform::PdfOperationBudget budget{limit, 0};
        platform::PdfScanner scanner(std::make_shared<platform::PdfContentStream>(nullptr, content),
                                     table, nullptr);
        scanner.setOperationBudget(&budget);
        (void)scanner.scan();
        return budget.used;
    };
    EXPECT_EQ(scan("n unknown n (x) 1 2 n", 4), 4u);
    EXPECT_THROW(scan("n unknown n n", 3), platform::PdfBudgetExceeded);
    EXPECT_THROW(scan("] ) n n n n", 3), platform::PdfBudgetExceeded); // also after damage
}

} // namespace
