#include "docx/QVDocxPage.h"
#include "docx/QVDocxParagraph.h"
#include "docx/QVDocxRunText.h"
#include "docx/QVDocxUtilities.h"

#include <gtest/gtest.h>

namespace {

TEST(QVDocxPage, TakesThePageSizeIntoItsSection) {
    QVDocxPage page(nullptr, {612, 792}, true);
    EXPECT_FLOAT_EQ(page.sectProperty().pgSz.w, 612);
    EXPECT_FLOAT_EQ(page.sectProperty().pgSz.h, 792);
    EXPECT_FLOAT_EQ(page.sectProperty().pgMar.top, 63);
    EXPECT_TRUE(page.isLastPage());
}

TEST(QVDocxPage, TextBoxParagraphsInheritTheResolvedProperties) {
    QVDocxPage page(nullptr, {612, 792}, false);
    EXPECT_EQ(page.lastTextBoxParagraph(), nullptr);
    EXPECT_EQ(page.totalTextBoxHeight(), 0);
    EXPECT_EQ(page.maxTextBoxWidth(), 0);

    QVDocxParagraph& first = page.newTextBoxParagraph();
    auto run = std::make_shared<QVDocxRunText>();
    QVDocx_RPr r = QVDocxUtilities::defaultRProperty();
    r.sz = 9;
    run->setRProperty(r);
    QVPDF_CTMInfo g;
    g.yAscent = 100;
    g.yDescent = 111;
    g.bottomLeft = {30, 111};
    run->setCtmInfo(g);
    run->setTextWidth(50);
    first.runArray().push_back(run);

    QVDocxParagraph& second = page.newTextBoxParagraph();
    EXPECT_FLOAT_EQ(page.cachedTextBoxParagraphs().front()->pProperty().spacing.line, 11);
    EXPECT_FLOAT_EQ(second.pProperty().spacing.line, 11);
    EXPECT_FLOAT_EQ(second.pProperty().ind.left, 30);
    EXPECT_FLOAT_EQ(second.rProperty().sz, 9);
    EXPECT_EQ(page.lastTextBoxParagraph(), &second);
    EXPECT_DOUBLE_EQ(page.totalTextBoxHeight(), 22);
    EXPECT_DOUBLE_EQ(page.maxTextBoxWidth(), 80);
}

} // namespace
