// The queue manager against a scripted converter: report order, the run's
// snapshot, cancel, and items that cannot be handed over.
#include "app/QVPDFConverterManager.h"
#include "app/QVSandBoxUtilities.h"
#include "app/QVSourceFileItem.h"
#include "app/QVUserDefaults.h"
#include "converter/QVPDFConverter.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Dispatch.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

namespace fs = std::filesystem;

namespace {

// Plays a script per source file name instead of converting: one report per
// posted main-queue task, so a cancel can land between them as it would
// between pages.
class ScriptedConverter : public QVPDFConverter {
public:
    enum class Step { Page, FailPage, Exception, Save };
    std::map<std::string, std::vector<Step>> scripts; // by file name; default: two pages, save
    struct Call {
        std::string name;
        std::vector<int64_t> pages;
        std::string type, output;
        QVPDFOptions options;
    };
    std::vector<Call> calls;

    bool convertPDFAtPath(const std::string& pdfPath, const std::optional<std::string>&,
                          const std::vector<int64_t>& pages, const std::string& type,
                          const std::string& output, const QVPDFOptions& options) override {
        if (busy_)
            return false;
        busy_ = true;
        cancelled_ = false;
        const std::string name = platform::lastPathComponent(pdfPath);
        calls.push_back({name, pages, type, output, options});
        if (delegate())
            delegate()->didStartConversion(*this, std::nullopt);
        auto it = scripts.find(name);
        const std::vector<Step> script =
            it != scripts.end() ? it->second : std::vector<Step>{Step::Page, Step::Page, Step::Save};
        auto done = std::make_shared<size_t>(0);
        size_t position = 0;
        for (Step step : script) {
            post([this, step, position, done] {
                if (cancelled_)
                    return;
                switch (step) {
                case Step::Page:
                    ++*done;
                    delegate()->convertPDFPageIndex(*this, static_cast<int64_t>(position + 1),
                                                    position + 1, *done);
                    break;
                case Step::FailPage:
                    delegate()->convertPDFPageIndexFaildWithError(*this, 1, QVError{"d", 401, "p"});
                    break;
                case Step::Exception:
                    delegate()->catchException(*this, QVException{"E", "boom"});
                    break;
                case Step::Save:
                    delegate()->willSaveDoc(*this);
                    break;
                }
            });
            ++position;
        }
        post([this] {
            busy_ = false;
            std::optional<QVError> error;
            if (cancelled_)
                error = QVError{"d", 406, "Conversion has been canceled."};
            delegate()->didEndConversion(*this, error);
        });
        return true;
    }
    void stopConvertsionIfNeed() override { cancelled_ = true; }

private:
    void post(std::function<void()> fn) { platform::MainQueue::shared().async(std::move(fn)); }
    bool busy_ = false;
    bool cancelled_ = false;
};

class Recorder : public QVPDFConverterManagerDelegate {
public:
    std::vector<std::string> log;
    std::function<void(const std::string&)> onEvent;

    void managerWillStartConversion(QVPDFConverterManager&) override { add("WillStart"); }
    void managerDidEndConversion(QVPDFConverterManager&) override { add("DidEnd"); }
    void didStartConversion(QVPDFConverterManager&, const std::shared_ptr<QVSourceFileItem>& item,
                            const std::optional<QVError>& error) override {
        add("start " + name(item) + code(error));
    }
    void didEndConversion(QVPDFConverterManager& m, const std::shared_ptr<QVSourceFileItem>& item,
                          const std::optional<QVError>& error) override {
        add("end " + name(item) + code(error) + (m.isConverting() ? " busy" : " idle"));
        if (error)
            reasons.push_back(error->failureReason);
    }
    void didConversionConvertPDFPageIndex(QVPDFConverterManager&,
                                          const std::shared_ptr<QVSourceFileItem>& item,
                                          int64_t page, size_t, size_t done) override {
        add("page " + name(item) + " " + std::to_string(page) + "/" + std::to_string(done));
    }
    void didConversionConvertPDFPageIndexFaildWithError(QVPDFConverterManager&,
                                                        const std::shared_ptr<QVSourceFileItem>& item,
                                                        int64_t, const QVError&) override {
        add("failed " + name(item));
    }
    void didConversionWillSaveDoc(QVPDFConverterManager&,
                                  const std::shared_ptr<QVSourceFileItem>& item) override {
        add("save " + name(item));
    }
    void didConversionCatchException(QVPDFConverterManager&,
                                     const std::shared_ptr<QVSourceFileItem>& item,
                                     const QVException&) override {
        add("exception " + name(item));
    }
    std::vector<std::string> reasons;

private:
    static std::string name(const std::shared_ptr<QVSourceFileItem>& item) {
        return platform::lastPathComponent(item->sourcePath());
    }
    static std::string code(const std::optional<QVError>& e) {
        return e ? " " + std::to_string(e->code) : "";
    }
    void add(const std::string& s) {
        log.push_back(s);
        if (onEvent)
            onEvent(s);
    }
};

class Manager : public ::testing::Test {
protected:
    void SetUp() override {
        QVUserDefaults::setStandardUserDefaults(std::make_shared<QVMemoryUserDefaults>());
        dir_ = fixtures::makeTestFolder(
            std::string("app-manager-") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        out_ = dir_ + "/out";
        fs::create_directory(out_);
        QVSandBoxUtilities::SaveUserSelectedOutputURLBookmark(out_);
        auto fake = std::make_unique<ScriptedConverter>();
        converter_ = fake.get();
        manager_ = std::make_unique<QVPDFConverterManager>(std::move(fake));
        manager_->setDelegate(&recorder_);
    }
    void TearDown() override {
        manager_.reset();
        QVUserDefaults::setStandardUserDefaults(nullptr);
    }
    std::shared_ptr<QVSourceFileItem> item(const std::string& name, int pages = 2) {
        fixtures::PdfBuilder b;
        for (int i = 0; i < pages; ++i)
            b.addTextPage({{72, 700, 12, "x"}});
        return QVSourceFileItem::create(b.writeTo(dir_ + "/" + name));
    }
    void run() {
        manager_->startConversion();
        platform::MainQueue::shared().runUntil([this] { return !manager_->isConverting(); });
    }
    std::string dir_, out_;
    Recorder recorder_;
    ScriptedConverter* converter_ = nullptr;
    std::unique_ptr<QVPDFConverterManager> manager_;
};

using Log = std::vector<std::string>;

} // namespace

TEST_F(Manager, ConvertsTheSnapshotInListOrder) {
    auto a = item("a.pdf"), b = item("b.pdf"), c = item("c.pdf"), late = item("late.pdf");
    a->convertOpts().excelOptions()->setExcelFormatOption(1);
    manager_->setMa_sourceItems({a, b, c});
    manager_->startConversion();
    // The list changes after the start: b leaves it, a late item joins, and
    // a's options change while it converts.
    manager_->setMa_sourceItems({a, c, late});
    a->convertOpts().excelOptions()->setExcelFormatOption(2);
    EXPECT_TRUE(manager_->isConverting());
    platform::MainQueue::shared().runUntil([this] { return !manager_->isConverting(); });
    EXPECT_EQ(recorder_.log, (Log{"WillStart",
                                  "start a.pdf", "page a.pdf 1/1", "page a.pdf 2/2", "save a.pdf",
                                  "end a.pdf busy",
                                  "start b.pdf", "page b.pdf 1/1", "page b.pdf 2/2", "save b.pdf",
                                  "end b.pdf busy",
                                  "start c.pdf", "page c.pdf 1/1", "page c.pdf 2/2", "save c.pdf",
                                  "end c.pdf busy", "DidEnd"}));
    ASSERT_EQ(converter_->calls.size(), 3u);
    EXPECT_EQ(converter_->calls[0].options.excelOptions()->excelFormatOption(), 1u);
    EXPECT_NE(converter_->calls[0].options.excelOptions(), a->convertOpts().excelOptions());
    EXPECT_EQ(converter_->calls[0].output, out_ + "/a.xlsx");
    EXPECT_EQ(converter_->calls[0].type, "xlsx");
    EXPECT_EQ(converter_->calls[0].pages, (std::vector<int64_t>{1, 2}));
    EXPECT_EQ(manager_->currentConvertItem(), c);
    EXPECT_EQ(a->conversionOptions(), "All Pages, XLSX, Success!"); // the reserved name is there
}

TEST_F(Manager, ExceptionThenFailureStartsTheNextItemOnceAfterTheEnd) {
    auto a = item("a.pdf"), b = item("b.pdf");
    using S = ScriptedConverter::Step;
    converter_->scripts["a.pdf"] = {S::Exception, S::FailPage, S::Page, S::Save};
    manager_->setMa_sourceItems({a, b});
    run();
    EXPECT_EQ(recorder_.log, (Log{"WillStart", "start a.pdf", "exception a.pdf", "failed a.pdf",
                                  "page a.pdf 3/1", "save a.pdf", "end a.pdf busy", "start b.pdf",
                                  "page b.pdf 1/1", "page b.pdf 2/2", "save b.pdf",
                                  "end b.pdf busy", "DidEnd"}));
    EXPECT_EQ(converter_->calls.size(), 2u);
}

TEST_F(Manager, CancelDuringTheSecondItem) {
    auto a = item("a.pdf"), b = item("b.pdf"), c = item("c.pdf");
    manager_->setMa_sourceItems({a, b, c});
    recorder_.onEvent = [this](const std::string& e) {
        if (e == "page b.pdf 1/1") {
            manager_->stopConversion();
            manager_->stopConversion(); // a second stop changes nothing
            EXPECT_TRUE(manager_->isConverting());
        }
    };
    run();
    EXPECT_EQ(recorder_.log, (Log{"WillStart", "start a.pdf", "page a.pdf 1/1", "page a.pdf 2/2",
                                  "save a.pdf", "end a.pdf busy", "start b.pdf", "page b.pdf 1/1",
                                  "end b.pdf 406 busy", "DidEnd"}));
    EXPECT_EQ(converter_->calls.size(), 2u); // c never starts
    EXPECT_EQ(b->conversionError()->code, 406);
    // The cancelled item's reserved name is released; the finished one stays.
    EXPECT_FALSE(fs::exists(out_ + "/b.xlsx"));
    EXPECT_TRUE(fs::exists(out_ + "/a.xlsx"));
    EXPECT_EQ(b->conversionOptions(), "All Pages, XLSX, Failed!");
    EXPECT_EQ(c->conversionOptions(), "All Pages, XLSX, Ready!");

    recorder_.log.clear();
    manager_->stopConversion(); // nothing running: nothing happens
    EXPECT_TRUE(recorder_.log.empty());
    manager_->setMa_sourceItems({});
    run();
    EXPECT_EQ(recorder_.log, (Log{"WillStart", "DidEnd"}));
}

TEST_F(Manager, ItemsThatCannotBeHandedOverAreReported) {
    auto a = item("a.pdf"), b = item("b.pdf"), c = item("c.pdf", 1);
    c->setSettings_pageRangeType(1);
    c->setSettings_customPageRange("5-9");
    manager_->setMa_sourceItems({a, b, c});
    // The output folder goes away after the first item.
    recorder_.onEvent = [this](const std::string& e) {
        if (e == "end a.pdf busy")
            fs::remove_all(out_);
    };
    run();
    EXPECT_EQ(recorder_.log, (Log{"WillStart", "start a.pdf", "page a.pdf 1/1", "page a.pdf 2/2",
                                  "save a.pdf", "end a.pdf busy", "start b.pdf 400",
                                  "end b.pdf 400 busy", "start c.pdf 400", "end c.pdf 400 busy",
                                  "DidEnd"}));
    EXPECT_EQ(converter_->calls.size(), 1u);
    ASSERT_EQ(recorder_.reasons.size(), 2u);
    EXPECT_EQ(recorder_.reasons[0], "The output folder " + out_ + " does not exist.");
    EXPECT_EQ(recorder_.reasons[1],
              "The page range \"5-9\" selects no page of the document (1 page).");
    EXPECT_EQ(b->conversionOptions(), "All Pages, XLSX, Ready!"); // no path was made
    EXPECT_EQ(b->conversionError()->code, 400);

    // No folder chosen at all; a range with no page makes no file.
    recorder_.log.clear();
    recorder_.reasons.clear();
    QVSandBoxUtilities::RemoveUserSelectedOutputURLBookmarkForKey(QVSandBoxUtilities::kDefaultKey);
    c->setOutputFolder(dir_);
    manager_->setMa_sourceItems({a, c});
    run();
    EXPECT_EQ(recorder_.reasons[0], "No output folder has been chosen.");
    EXPECT_FALSE(fs::exists(dir_ + "/c.xlsx"));
}

TEST_F(Manager, DocumentWithoutAReadablePageIsRefusedWithoutQuotingARange) {
    const std::string empty = dir_ + "/empty.pdf";
    std::ofstream(empty, std::ios::binary) << fixtures::rawPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"}, {2, "<< /Type /Pages /Kids [] /Count 0 >>"}});
    auto all = QVSourceFileItem::create(empty);
    auto ranged = QVSourceFileItem::create(empty);
    ranged->setSettings_pageRangeType(1);
    ranged->setSettings_customPageRange("1-3");
    const std::string junk = dir_ + "/junk.pdf";
    std::ofstream(junk) << "no PDF at all";
    auto unreadable = QVSourceFileItem::create(junk);
    manager_->setMa_sourceItems({all, ranged, unreadable});
    run();
    EXPECT_EQ(recorder_.reasons, (std::vector<std::string>{"The document has no readable page.",
                                                           "The document has no readable page."}));
    EXPECT_FALSE(fs::exists(out_ + "/empty.xlsx"));
    // A file that does not open goes to the converter, which says why.
    ASSERT_EQ(converter_->calls.size(), 1u);
}
