#include "excel/QVExcelManager.h"
#include "excel/QVExcelUtilities.h"
#include "excel/workbook/QVExcelStyle.h"

#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

class QVExcelManagerTest : public ::testing::Test {
protected:
    void SetUp() override { QVExcelManager::destory(); }
    void TearDown() override { QVExcelManager::destory(); }
};

TEST_F(QVExcelManagerTest, OneLiveManagerPerDocument) {
    auto first = QVExcelManager::sharedInstance();
    EXPECT_EQ(first, QVExcelManager::sharedInstance());
    first->excelStyle()->collectNumberFormat("0.000");
    first->setAmountOfStringItems(7);

    // The exporter's begin: counter 0 and a new, empty registry.
    auto oldStyle = first->excelStyle();
    QVExcelManager::reset();
    EXPECT_EQ(first->amountOfStringItems(), 0u);
    EXPECT_NE(first->excelStyle(), oldStyle);
    EXPECT_TRUE(first->excelStyle()->numFmtsArr().empty());

    // The exporter's end: the next document gets a new manager.
    QVExcelManager::destory();
    auto second = QVExcelManager::sharedInstance();
    EXPECT_NE(first, second);
    EXPECT_EQ(second->amountOfStringItems(), 0u);
    EXPECT_EQ(second->excelStyle()->fontsArr().size(), 1u);

    QVExcelManager::destory();
    QVExcelManager::reset(); // no live manager: nothing happens
    QVExcelManager::destory();
}

TEST_F(QVExcelManagerTest, SwitchesFollowTheOptions) {
    auto m = QVExcelManager::sharedInstance();
    // Before any options: format option 0, every flag off.
    EXPECT_TRUE(m->isNeedWrapText());
    EXPECT_FALSE(m->isNeedCollectFills());
    EXPECT_EQ(m->thousandSepartor(), ",");

    struct Case {
        uint64_t f;
        bool numbers, fontName, fontSize, rowHeight, wrap, merge, special;
    };
    const Case cases[] = {
        {0, true, false, false, false, true, true, false},
        {1, true, false, true, true, false, false, false},
        {2, false, true, true, true, false, false, true},
        {7, true, false, true, true, false, false, false},
    };
    for (const Case& c : cases) {
        auto options = std::make_shared<QVExcelOptions>();
        options->setExcelFormatOption(c.f);
        m->setOptions(options);
        EXPECT_EQ(m->isNeedValidNumbers(), c.numbers) << c.f;
        EXPECT_EQ(m->isNeedDefaultFontName(), c.fontName) << c.f;
        EXPECT_EQ(m->isNeedDefaultFontSize(), c.fontSize) << c.f;
        EXPECT_EQ(m->isNeedDefaultRowHeight(), c.rowHeight) << c.f;
        EXPECT_EQ(m->isNeedWrapText(), c.wrap) << c.f;
        EXPECT_EQ(m->isNeedMergeCells(), c.merge) << c.f;
        EXPECT_EQ(m->isSpecialVersion(), c.special) << c.f;
    }

    auto options = std::make_shared<QVExcelOptions>();
    for (uint64_t sep : {0u, 1u, 2u}) {
        options->setThousandSepartor(sep);
        m->setOptions(options);
        EXPECT_EQ(m->thousandSepartor(), sep == 1 ? "." : ",");
    }
    options->setCollectFills(true);
    EXPECT_FALSE(m->isNeedCollectFills()); // needs path collection too
    options->setCollectCGPaths(true);
    EXPECT_TRUE(m->isNeedCollectCGPaths());
    EXPECT_TRUE(m->isNeedCollectFills()); // options are shared, not copied
    options->setAllInOneSheet(true);
    options->setAiosAddToRow(true);
    EXPECT_TRUE(m->isAllInOneSheetEnabled());
    EXPECT_TRUE(m->isAllInOneSheetAddToRow());
}

TEST_F(QVExcelManagerTest, BlankSpaceIsOnlyU0020) {
    EXPECT_TRUE(QVExcelManager::isBlankSpace(u"   "));
    EXPECT_TRUE(QVExcelManager::isBlankSpace(u""));
    EXPECT_FALSE(QVExcelManager::isBlankSpace(u" a"));
    EXPECT_FALSE(QVExcelManager::isBlankSpace(u"\t"));
    EXPECT_FALSE(QVExcelManager::isBlankSpace(u"\u00a0"));
}

TEST(QVExcelUtilitiesTest, ColumnLetters) {
    const std::pair<int64_t, const char*> cases[] = {
        {1, "A"},   {26, "Z"},   {27, "AA"},   {28, "AB"},     {52, "AZ"},
        {53, "BA"}, {702, "ZZ"}, {703, "AAA"}, {16384, "XFD"},
    };
    for (const auto& [n, letters] : cases)
        EXPECT_EQ(QVExcelUtilities::getColumnName(n), letters) << n;
    EXPECT_FALSE(QVExcelUtilities::getColumnName(0));
    EXPECT_FALSE(QVExcelUtilities::getColumnName(-3));
}

TEST(QVExcelUtilitiesTest, FilesOfResourceBundles) {
    const std::string root = fixtures::makeTestFolder("bundles");
    ASSERT_TRUE(platform::createDirectories(root + "/QVTest/a"));
    ASSERT_TRUE(platform::writeFileAtomically(root + "/QVTest/top.xml", "<t/>"));
    ASSERT_TRUE(platform::writeFileAtomically(root + "/QVTest/a/b.xml", "<b/>"));

    const char* saved = std::getenv("CORVALA_RESOURCES");
    const std::string previous = saved ? saved : "";
    ::setenv("CORVALA_RESOURCES", root.c_str(), 1);
    EXPECT_EQ(QVExcelUtilities::pathInBundle("QVTest", "top.xml"), root + "/QVTest/top.xml");
    EXPECT_EQ(QVExcelUtilities::pathInBundle("QVTest", "a/b.xml"), root + "/QVTest/a/b.xml");
    EXPECT_FALSE(QVExcelUtilities::pathInBundle("QVTest", "b.xml"));
    EXPECT_FALSE(QVExcelUtilities::pathInBundle("QVTest", "a"));
    EXPECT_FALSE(QVExcelUtilities::pathInBundle("QVMissing", "top.xml"));
    if (saved)
        ::setenv("CORVALA_RESOURCES", previous.c_str(), 1);
    else
        ::unsetenv("CORVALA_RESOURCES");
}

TEST(QVExcelUtilitiesTest, Defaults) {
    EXPECT_EQ(QVExcelUtilities::defaultFontSize(), 10.0);
    EXPECT_EQ(QVExcelUtilities::defaultFontName(), "Arial Unicode MS");
    auto p = QVExcelUtilities::defaultPhoneticProperty();
    EXPECT_EQ(p.fontId, 1);
    EXPECT_EQ(p.type, "noConversion");
    EXPECT_EQ(p.algn, "left");
}

} // namespace
