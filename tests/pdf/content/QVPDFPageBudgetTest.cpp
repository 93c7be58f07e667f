// The limits of one page, narrowed so the pages stay small: operators (the
// page's and its forms' together), decoded content bytes (the page's, and a
// form's at each invocation) and form invocations. A page at a limit runs to
// its end; one operator, byte or invocation more fails it with the limit's
// message. And work a delegate does not want is not done: images are written
// to files only for delegates that keep them.
#include "fixtures/PdfBuilder.h"
#include "pdf/content/QVPDFConentParser.h"
#include "pdf/xobject/QVPDFImageXObject.h"
#include "platform/pdf/PdfBudgetExceeded.h"
#include "platform/pdf/PdfContentScanner.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Counter : QVPDFConentParserDelegate {
    int paths = 0;
    void didScanPath(QVPDFConentParser&, const platform::Path&, bool, bool) override { ++paths; }
};

// Runs `content` with form /F (content `form`) under `budget`; the message
// of the failure, or "" when the page ran to its end.
std::string runPage(const std::string& content, const std::string& form,
                    const QVPDFPageBudget& budget, int* paths = nullptr) {
    fixtures::PdfBuilder b;
    fixtures::PageSpec spec;
    spec.content = content;
    spec.resources = "<< /XObject << /F " +
                     b.addStream("<< /Type /XObject /Subtype /Form /BBox [0 0 10 10] >>", form) +
                     " >> >>";
    b.addPage(spec);
    auto doc = platform::PdfDocument::openFromMemory(b.build(), "budget");
    auto page = doc->page(1);
    Counter counter;
    QVPDFConentParser parser(page->dictionary(), std::make_shared<platform::PdfContentStream>(
                                                     page->documentImpl(), page->contentData()));
    parser.setDelegate(&counter);
    parser.setPageBudget(budget);
    std::string failure;
    try {
        parser.startParser();
    } catch (const platform::PdfBudgetExceeded& e) {
        failure = e.what();
    }
    if (paths)
        *paths = counter.paths;
    return failure;
}

std::string repeat(const std::string& piece, int n) {
    std::string out;
    for (int i = 0; i < n; ++i)
        out += piece;
    return out;
}

TEST(QVPDFPageBudget, EachLimitHoldsExactly) {
    QVPDFPageBudget ops;
    ops.maxOperations = 10;
    QVPDFPageBudget bytes;
    bytes.maxContentBytes = 91;
    QVPDFPageBudget forms;
    forms.maxFormInvocations = 3;
    const std::string kOps = "The page has more than 10 content operations.";
    const std::string kBytes = "The page's content decodes to more than 91 bytes.";
    const std::string kForms = "The page invokes forms more than 3 times.";
    struct Case {
        const char* what;
        std::string content, form;
        QVPDFPageBudget budget;
        std::string failure;
    } cases[] = {
        {"ten operators", repeat("0 0 m 1 1 l S ", 3) + "n", "", ops, ""},
        {"eleven operators", repeat("0 0 m 1 1 l S ", 3) + "n n", "", ops, kOps},
        {"unknown operators count too", repeat("0 0 m 1 1 l S ", 3) + "n xyz", "", ops, kOps},
        {"a form's operators count with the page's", "/F Do", repeat("n ", 9), ops, ""},
        {"one more in the form", "/F Do", repeat("n ", 10), ops, kOps},
        {"page and two form runs at the byte limit", "/F Do /F Do", repeat("0 0 m S ", 5), bytes,
         ""},
        {"one byte more", "/F Do /F Do ", repeat("0 0 m S ", 5), bytes, kBytes},
        {"the page alone beyond it", repeat("0 0 m 1 1 l S ", 7), "", bytes, kBytes},
        {"three invocations", "/F Do /F Do /F Do", "0 0 m 1 1 l S", forms, ""},
        {"four", "/F Do /F Do /F Do /F Do", "0 0 m 1 1 l S", forms, kForms},
    };
    for (const Case& c : cases)
        EXPECT_EQ(runPage(c.content, c.form, c.budget), c.failure) << c.what;
}

TEST(QVPDFPageBudget, WhatRanBeforeTheLimitWasReported) {
    QVPDFPageBudget ops;
    ops.maxOperations = 7;
    int paths = 0;
    EXPECT_NE(runPage(repeat("0 0 m 1 1 l S ", 5), "", ops, &paths), "");
    EXPECT_EQ(paths, 2);
}

TEST(QVPDFPageBudget, DefaultsLieFarAboveSoundPages) {
    QVPDFPageBudget defaults;
    EXPECT_EQ(runPage(repeat("0 0 m 1 1 l S /F Do ", 2000), repeat("0 0 m 2 2 l S ", 50), defaults),
              "");
    EXPECT_GE(defaults.maxOperations, 1'000'000u);
    EXPECT_GE(defaults.maxFormInvocations, 10'000u);
}

struct ImageCatcher : QVPDFConentParserDelegate {
    bool files = true;
    std::vector<std::shared_ptr<const QVPDFImageXObject>> images;
    void didScanXObjectImage(QVPDFConentParser&,
                             const std::shared_ptr<const QVPDFImageXObject>& image) override {
        images.push_back(image);
    }
    bool wantsImageFiles() const override { return files; }
};

TEST(QVPDFPageBudget, ImagesAreWrittenOnlyForDelegatesThatKeepThem) {
    for (bool files : {true, false}) {
        fixtures::PdfBuilder b;
        fixtures::PageSpec spec;
        spec.resources = "<< /XObject << /Im " +
                         b.addStream("<< /Subtype /Image /Width 2 /Height 2 /BitsPerComponent 8 "
                                     "/ColorSpace /DeviceGray >>",
                                     std::string("\x10\x80\xf0\x40", 4)) +
                         " >> >>";
        spec.content = "q 10 0 0 10 0 0 cm /Im Do Q";
        b.addPage(spec);
        auto doc = platform::PdfDocument::openFromMemory(b.build(), "images");
        auto page = doc->page(1);
        ImageCatcher catcher;
        catcher.files = files;
        QVPDFConentParser parser(page->dictionary(),
                                 std::make_shared<platform::PdfContentStream>(page->documentImpl(),
                                                                              page->contentData()));
        parser.setDelegate(&catcher);
        parser.startParser();
        ASSERT_EQ(catcher.images.size(), 1u) << files;
        ASSERT_TRUE(catcher.images[0]);
        EXPECT_EQ(catcher.images[0]->cachedImagePath().has_value(), files);
    }
}

} // namespace
