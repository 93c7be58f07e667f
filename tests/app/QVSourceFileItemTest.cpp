#include "app/QVCPDFUtilities.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "app/QVUserDefaults.h"
#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SourceItem : public ::testing::Test {
protected:
    void SetUp() override {
        QVUserDefaults::setStandardUserDefaults(std::make_shared<QVMemoryUserDefaults>());
        dir_ = fixtures::makeTestFolder(
            std::string("app-item-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { QVUserDefaults::setStandardUserDefaults(nullptr); }

    std::string pdf(const std::string& name, int pages = 1,
                    std::optional<fixtures::Encryption> encryption = std::nullopt) {
        fixtures::PdfBuilder b;
        for (int i = 0; i < pages; ++i)
            b.addTextPage({{72, 700, 12, "page " + std::to_string(i + 1)}});
        return b.writeTo(dir_ + "/" + name, encryption);
    }
    std::string dir_;
};

} // namespace

TEST_F(SourceItem, FolderGivesItsFilesAndMissingPathsGiveNothing) {
    pdf("a.pdf");
    std::ofstream(dir_ + "/b.txt") << "text";
    fs::create_directory(dir_ + "/sub");
    std::ofstream(dir_ + "/sub/c.pdf") << "x";
    auto items = QVSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(dir_);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->sourcePath(), dir_ + "/a.pdf");
    EXPECT_EQ(items[1]->sourcePath(), dir_ + "/b.txt");
    EXPECT_TRUE(QVSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(dir_ + "/none").empty());
    EXPECT_EQ(QVSourceFileItem::create(dir_ + "/none"), nullptr);
    EXPECT_EQ(QVSourceFileItem::CreateSourceItemsOfFileOrDirectoryAtPath(dir_ + "/a.pdf").size(), 1u);
}

TEST_F(SourceItem, FormatsComeFromTheSettingsAndApplyToAllKeepsTheRange) {
    auto first = QVSourceFileItem::create(pdf("a.pdf"));
    EXPECT_EQ(first->settings_outputFormat(), "Microsoft Excel(.xlsx)");
    first->setSettings_outputFormat("Web Source File(.html)");
    auto second = QVSourceFileItem::create(pdf("b.pdf"));
    EXPECT_EQ(second->settings_outputFormat(), "Web Source File(.html)");
    EXPECT_EQ(second->outputFileFormat(), "html");

    second->setSettings_outputFormat("Old Format(.old)");
    EXPECT_EQ(second->outputFileFormat(), "xlsx");
    EXPECT_FALSE(second->outputFileIcon());
    second->setSettings_outputFormat("Microsoft Word(.docx)"); // the driver's wider table
    EXPECT_EQ(second->outputFileFormat(), "docx");

    QVUserDefaults::standardUserDefaults().setObject("settings_excel_formatStyle", int64_t{2});
    auto third = QVSourceFileItem::create(pdf("c.pdf"));
    EXPECT_EQ(third->convertOpts().excelOptions()->excelFormatOption(), 2u);
    third->setSettings_pageRangeType(1);
    third->setSettings_customPageRange("2");
    auto& o = *third->convertOpts().excelOptions();
    o.setThousandSepartor(1);
    o.setAllInOneSheet(true);
    o.setAiosAddToRow(true);
    o.setCollectFills(true);
    first->setWithFileItem(*third);
    const auto& copied = *first->convertOpts().excelOptions();
    EXPECT_EQ(copied.excelFormatOption(), 2u);
    EXPECT_EQ(copied.thousandSepartor(), 1u);
    EXPECT_TRUE(copied.allInOneSheet());
    EXPECT_TRUE(copied.aiosAddToRow());
    EXPECT_FALSE(copied.collectFills());
    EXPECT_EQ(first->settings_pageRangeType(), 0);
    EXPECT_EQ(first->settings_customPageRange(), "All Pages");
    EXPECT_EQ(first->settings_outputFormat(), "Microsoft Word(.docx)");
}

TEST_F(SourceItem, PagesInfoAndOutputName) {
    auto item = QVSourceFileItem::create(pdf("report.pdf", 4));
    EXPECT_EQ(item->sourcePages(), 4);
    EXPECT_EQ(item->outputPDFPageIndexs(), (std::vector<int64_t>{1, 2, 3, 4}));
    item->setSettings_pageRangeType(1);
    item->setSettings_customPageRange("");
    EXPECT_EQ(item->outputPDFPageIndexs(), (std::vector<int64_t>{1}));
    item->setSettings_customPageRange("3-");
    EXPECT_EQ(item->outputPDFPageIndexs(), (std::vector<int64_t>{3, 4}));
    item->setSettings_pageRangeType(7);
    EXPECT_TRUE(item->outputPDFPageIndexs().empty());
    EXPECT_EQ(item->sourceInfo(), "4 Pages, " + QVSourceFileItem::FileSizeAtPath(item->sourcePath()));
    EXPECT_EQ(item->sourceFileIcon(), "icon_pdf");

    // No output folder anywhere: no path.
    EXPECT_FALSE(item->newOutputPath());
    EXPECT_FALSE(item->outputPath());

    const std::string out = dir_ + "/out";
    fs::create_directory(out);
    std::ofstream(out + "/report.xlsx") << "x";
    std::ofstream(out + "/report 2.xlsx") << "x";
    ASSERT_TRUE(QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out));
    EXPECT_EQ(item->newOutputPath(), out + "/report 3.xlsx");
    EXPECT_TRUE(fs::exists(out + "/report 3.xlsx")); // reserved
    item->releaseOutputReservation();
    EXPECT_FALSE(fs::exists(out + "/report 3.xlsx"));
    item->setOutputFolder(dir_);
    item->setSettings_outputFormat("Comma-Separated Values(.csv)");
    EXPECT_EQ(item->newOutputPath(), dir_ + "/report.csv");
    EXPECT_TRUE(fs::is_directory(dir_ + "/report.csv"));
    item->releaseOutputReservation();
    EXPECT_FALSE(fs::exists(dir_ + "/report.csv"));
}

TEST_F(SourceItem, StatusTextsTrustTheEndReportAndTheDisk) {
    auto item = QVSourceFileItem::create(pdf("r.pdf"));
    item->setOutputFolder(dir_);
    EXPECT_EQ(item->conversionOptions(), "All Pages, XLSX, Ready!");
    item->setSettings_pageRangeType(1);
    item->setSettings_customPageRange("1-3,5");
    const QVError failure{"d", 406, "Conversion has been canceled."};
    const struct {
        bool ended;
        std::optional<QVError> error;
        bool outputOnDisk;
        const char* status;
    } cases[] = {
        {false, std::nullopt, true, "Failed!"}, // only reserved: not done yet
        {true, failure, true, "Failed!"},       // something on disk, but the run failed
        {true, std::nullopt, false, "Failed!"}, // reported fine, yet the output is gone
        {true, std::nullopt, true, "Success!"},
    };
    for (const auto& c : cases) {
        auto path = item->newOutputPath();
        ASSERT_TRUE(path);
        if (c.ended)
            item->setConversionError(c.error);
        if (!c.outputOnDisk)
            fs::remove(*path);
        EXPECT_EQ(item->conversionOptions(), std::string("1-3,5, XLSX, ") + c.status)
            << c.ended << " " << c.outputOnDisk;
        fs::remove(*path);
    }
    item->setOutputPath(std::nullopt);
    item->setSettings_outputFormat("Web Source File(.html)");
    item->setSettings_pageRangeType(0);
    EXPECT_EQ(item->conversionOptions(), "All Pages, HTML, Ready!");
}

TEST_F(SourceItem, PdfChecks) {
    const std::string plain = pdf("plain.pdf");
    const std::string locked = pdf("locked.pdf", 1, fixtures::Encryption{"user", "owner", true});
    const std::string noPrint = pdf("noprint.pdf", 1, fixtures::Encryption{"", "owner", false});
    std::ofstream(dir_ + "/text.pdf") << "not a pdf";
    std::ofstream(dir_ + "/damaged.pdf") << "%PDF-1.4\n1 0 obj <<";
    using P = QVCPDFUtilities;
    const struct {
        std::string path;
        bool valid, locked, lockPrinting;
    } cases[] = {
        {plain, true, false, false},
        {locked, true, true, true},
        {noPrint, true, false, true},
        {dir_, false, true, true},
        {dir_ + "/missing.pdf", false, true, true},
        {dir_ + "/text.pdf", false, true, true},
        {dir_ + "/damaged.pdf", false, true, true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(P::isPDFDocumentValidAtPath(c.path), c.valid) << c.path;
        EXPECT_EQ(P::isPDFDocumentLockedAtPath(c.path), c.locked) << c.path;
        EXPECT_EQ(P::isPDFDocumentLockPritingAtPath(c.path), c.lockPrinting) << c.path;
    }
    const struct {
        std::string path;
        std::optional<std::string> password;
        bool allowed;
    } passwords[] = {
        {plain, std::nullopt, true}, {plain, "", true},          {locked, std::nullopt, false},
        {locked, "wrong", false},    {locked, "user", true},     {locked, "owner", true},
        {noPrint, std::nullopt, false}, {noPrint, "wrong", false}, {noPrint, "owner", true},
    };
    for (const auto& c : passwords)
        EXPECT_EQ(P::isAllowPrintingPDFDcoumentAtPath(c.path, c.password), c.allowed)
            << c.path << " " << c.password.value_or("(none)");
    // A locked document comes back locked without a password, none with a wrong one.
    auto doc = P::initPDFDocumentAtPath(locked, std::nullopt);
    ASSERT_TRUE(doc);
    EXPECT_FALSE(doc->isUnlocked());
    EXPECT_FALSE(P::initPDFDocumentAtPath(locked, "wrong"));
    EXPECT_TRUE(P::PDFDocumentHasPassword(noPrint));
    EXPECT_FALSE(P::PDFDocumentHasPassword(plain));
    auto lockedItem = QVSourceFileItem::create(locked);
    EXPECT_EQ(lockedItem->sourceFileIcon(), "icon_pdf_pw");
    EXPECT_EQ(lockedItem->sourcePages(), 0);
    lockedItem->setSourcePassword("user");
    EXPECT_EQ(lockedItem->sourcePages(), 1);
}

TEST_F(SourceItem, OutputFolderStore) {
    EXPECT_FALSE(QVSandBoxUtilities::UserSelectedOutputURLBookmark());
    EXPECT_FALSE(QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark());
    EXPECT_FALSE(QVSandBoxUtilities::startAccessingUserSelectedOutputURLBookmark());
    const std::string out = dir_ + "/out";
    fs::create_directory(out);
    ASSERT_TRUE(QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out + "/"));
    EXPECT_EQ(QVSandBoxUtilities::UserSelectedOutputURLBookmark(), out);
    EXPECT_EQ(QVUserDefaults::standardUserDefaults().stringForKey("QVDefaulExportDirectory_SandBox"),
              out);
    EXPECT_TRUE(QVSandBoxUtilities::startAccessingUserSelectedOutputURLBookmark());
    // A path that is no folder is refused and the stored one kept.
    EXPECT_FALSE(QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(dir_ + "/missing"));
    EXPECT_FALSE(QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(""));
    EXPECT_EQ(QVSandBoxUtilities::UserSelectedOutputURLBookmark(), out);
    if (::geteuid() != 0) {
        fs::permissions(out, fs::perms::owner_write, fs::perm_options::remove);
        EXPECT_EQ(QVSandBoxUtilities::UserSelectedOutputURLBookmark(), out);
        EXPECT_FALSE(QVSandBoxUtilities::isReadAndWritableUserSelectedOutputURLBookmark());
        EXPECT_EQ(QVSandBoxUtilities::problemWithFolder(out), "is not writable (permission denied)");
        fs::permissions(out, fs::perms::owner_write, fs::perm_options::add);
    }
    EXPECT_EQ(QVSandBoxUtilities::problemWithFolder(dir_ + "/missing"), "does not exist");
    std::ofstream(dir_ + "/file") << "x";
    EXPECT_EQ(QVSandBoxUtilities::problemWithFolder(dir_ + "/file"), "is a file, not a folder");
    fs::remove(out);
    EXPECT_FALSE(QVSandBoxUtilities::UserSelectedOutputURLBookmark());
    EXPECT_TRUE(QVSandBoxUtilities::RemoveUserSelectedOutputURLBookmarkForKey(
        QVSandBoxUtilities::kDefaultKey));
}
