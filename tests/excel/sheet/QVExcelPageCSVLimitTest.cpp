// The tab-separated text of a page is written densely, so a sparse grid
// (a run far right or far down) costs rows times columns: a page whose text
// would pass the limit fails with a budget error instead of exhausting
// memory, while wide but sound pages are written.
#include "excel/QVExcelPageFixture.h"

#include "platform/pdf/PdfBudgetExceeded.h"

#include <gtest/gtest.h>

namespace {

using excelfixtures::RunSpec;

TEST(QVExcelPageCSVLimit, SparseGridPastTheLimitFailsThePage) {
    excelfixtures::ManagerScope scope;
    const std::string folder = fixtures::makeTestFolder("csv-limit") + "/csv";
    {
        QVExcelPage page(1, folder);
        excelfixtures::addRuns(page, {RunSpec{u"a", 1, 1}, RunSpec{u"b", 3, 2000}});
        auto text = page.csvText();
        ASSERT_TRUE(text);
        EXPECT_EQ(text->size(), 1u + 1 + 1 + 1999 + 1 + 1);
    }
    {
        QVExcelPage page(1, folder);
        excelfixtures::addRuns(page, {RunSpec{u"a", 1, 1}, RunSpec{u"b", 2, uint64_t(1) << 25}});
        try {
            (void)page.csvText();
            ADD_FAILURE() << "a row of 2^25 tabs was written";
        } catch (const platform::PdfBudgetExceeded& e) {
            EXPECT_STREQ(e.what(),
                         "The page's tab-separated text would be longer than 16777216 characters.");
        }
    }
}

} // namespace
