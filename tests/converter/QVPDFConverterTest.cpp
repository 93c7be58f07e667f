// Report sequences of the conversion driver, with a scripted exporter and
// PDFs from the fixture builder.
#include "converter/QVPDFConverter.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Dispatch.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

#include <stdexcept>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// What the scripted exporter does; shared with the test so it can look after the run.
struct Script {
    int64_t throwOnPage = -1;
    int64_t refusePage = -1;
    int64_t cancelOnPage = -1;
    bool failSave = false;
    bool throwOnSave = false;
    bool cancelWhileSaving = false;
    QVPDFConverter* converter = nullptr;
    std::vector<std::string> calls;
};

class ScriptedExporter : public QVPDFExporter {
public:
    explicit ScriptedExporter(Script& s) : s_(s) {}
    void begainConvertPDF(const std::string& path) override {
        s_.calls.push_back("begin " + std::to_string(numberOfPagesToConvert()) + " " + path);
    }
    bool convertPDFPage(const platform::PdfPage* page) override {
        int64_t n = static_cast<int64_t>(page->pageNumber());
        s_.calls.push_back("page " + std::to_string(n));
        if (n == s_.cancelOnPage)
            s_.converter->stopConvertsionIfNeed();
        if (n == s_.throwOnPage)
            throw std::runtime_error("page exploded");
        return n != s_.refusePage;
    }
    bool endConvertPDF(platform::PdfDocument&) override {
        s_.calls.push_back("end");
        if (s_.cancelWhileSaving)
            s_.converter->stopConvertsionIfNeed();
        if (s_.throwOnSave)
            throw std::runtime_error("disk full");
        return !s_.failSave;
    }
    void cleanConvertPDF() override { s_.calls.push_back("clean"); }

private:
    Script& s_;
};

class Recorder : public QVPDFConverterDelegate {
public:
    std::vector<std::string> events;
    std::vector<std::string> exceptionNames;
    std::optional<QVError> endError;
    bool ended = false;

    void didStartConversion(QVPDFConverter&, const std::optional<QVError>&) override {
        events.push_back("start");
    }
    void convertPDFPageIndex(QVPDFConverter&, int64_t p, size_t pos, size_t done) override {
        events.push_back("ok " + std::to_string(p) + " " + std::to_string(pos) + " " +
                         std::to_string(done));
    }
    void convertPDFPageIndexFaildWithError(QVPDFConverter&, int64_t p, const QVError& e) override {
        events.push_back("fail " + std::to_string(p) + " " + std::to_string(e.code) + " " +
                         e.failureReason);
    }
    void willSaveDoc(QVPDFConverter&) override { events.push_back("save"); }
    void catchException(QVPDFConverter&, const QVException& e) override {
        events.push_back("exception " + e.reason);
        exceptionNames.push_back(e.name);
    }
    void didEndConversion(QVPDFConverter& c, const std::optional<QVError>& e) override {
        events.push_back("end " + (e ? std::to_string(e->code) : std::string("none")));
        endError = e;
        ended = true;
        EXPECT_FALSE(c.isConverting());
    }
};

class ConverterTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fixtures::PdfBuilder b;
        for (int i = 0; i < 3; ++i)
            b.addTextPage({{72, 700, 12, "page"}});
        pdf_ = b.writeTo(folder_ + "/three.pdf");
        converter_.setDelegate(&recorder_);
        script_.converter = &converter_;
        converter_.setExporterFactory([this](const std::string&, const QVPDFOptions&) {
            return std::make_unique<ScriptedExporter>(script_);
        });
    }

    void run(const std::vector<int64_t>& pages, const std::string& path = "",
             std::optional<std::string> password = std::nullopt) {
        ASSERT_TRUE(converter_.convertPDFAtPath(path.empty() ? pdf_ : path, password, pages,
                                                "xlsx", folder_ + "/out.xlsx", QVPDFOptions()));
        EXPECT_TRUE(converter_.isConverting());
        platform::MainQueue::shared().runUntil([this] { return recorder_.ended; });
    }

    std::string folder_, pdf_;
    Script script_;
    Recorder recorder_;
    QVPDFConverter converter_;
};

using Events = std::vector<std::string>;

TEST_F(ConverterTest, ConvertsPagesInRequestOrderWithDuplicates) {
    run({3, 1, 3});
    EXPECT_EQ(recorder_.events,
              (Events{"start", "ok 3 1 1", "ok 1 2 2", "ok 3 3 3", "save", "end none"}));
    EXPECT_EQ(script_.calls,
              (Events{"begin 3 " + folder_ + "/out.xlsx", "page 3", "page 1", "page 3", "end"}));
    EXPECT_EQ(converter_.pdfPageIndexs(), (std::vector<int64_t>{3, 1, 3}));
}

TEST_F(ConverterTest, EmptyPageListStillSaves) {
    run({});
    EXPECT_EQ(recorder_.events, (Events{"start", "save", "end none"}));
    EXPECT_EQ(script_.calls, (Events{"begin 0 " + folder_ + "/out.xlsx", "end"}));
}

TEST_F(ConverterTest, BadPageNumbersFailAndTheRunGoesOn) {
    script_.refusePage = 2;
    run({0, 4, -1, 2, 1});
    EXPECT_EQ(recorder_.events, (Events{"start", "fail 0 401 Out of PDF Page Range(0)",
                                        "fail 4 401 Out of PDF Page Range(4)",
                                        "fail -1 401 Out of PDF Page Range(-1)",
                                        "fail 2 401 Can't convert the PDF Page.(2)", "ok 1 5 1",
                                        "save", "end none"}));
}

TEST_F(ConverterTest, PageExceptionIsReportedBeforeItsFailure) {
    script_.throwOnPage = 2;
    run({1, 2, 3});
    EXPECT_EQ(recorder_.events,
              (Events{"start", "ok 1 1 1", "exception page exploded",
                      "fail 2 400 Unknow error while converting.", "ok 3 3 2", "save",
                      "end none"}));
    EXPECT_EQ(recorder_.exceptionNames, (Events{"std::runtime_error"}));
}

TEST_F(ConverterTest, EveryPageFailingIsAnErrorNotAnEmptyDocument) {
    run({7, 8});
    EXPECT_EQ(recorder_.events.back(), "end 400");
    EXPECT_EQ(script_.calls.back(), "clean");
    ASSERT_TRUE(recorder_.endError);
    EXPECT_NE(recorder_.endError->failureReason.find("no page"), std::string::npos);
}

TEST_F(ConverterTest, FailedSaveEndsWithAnError) {
    for (bool throws : {false, true}) {
        recorder_ = Recorder();
        script_.calls.clear();
        script_.failSave = !throws;
        script_.throwOnSave = throws;
        run({1});
        Events expected{"start", "ok 1 1 1", "save"};
        if (throws)
            expected.push_back("exception disk full");
        expected.push_back("end 400");
        EXPECT_EQ(recorder_.events, expected);
        EXPECT_EQ(recorder_.endError->failureReason, "Can't save the document.");
    }
}

TEST_F(ConverterTest, CancelDuringAPageFinishesItAndCleans) {
    script_.cancelOnPage = 2;
    run({1, 2, 3});
    EXPECT_EQ(recorder_.events, (Events{"start", "ok 1 1 1", "ok 2 2 2", "end 406"}));
    EXPECT_EQ(script_.calls.back(), "clean");
    EXPECT_EQ(recorder_.endError->failureReason, "Conversion has been canceled.");
}

TEST_F(ConverterTest, CancelWhileSavingStillSavesButReports406) {
    script_.cancelWhileSaving = true;
    run({1});
    EXPECT_EQ(recorder_.events, (Events{"start", "ok 1 1 1", "save", "end 406"}));
    EXPECT_EQ(script_.calls.back(), "end");
}

TEST_F(ConverterTest, NextRequestClearsTheCancelFlag) {
    script_.cancelOnPage = 1;
    run({1});
    EXPECT_EQ(recorder_.events.back(), "end 406");
    recorder_ = Recorder();
    script_.cancelOnPage = -1;
    run({1});
    EXPECT_EQ(recorder_.events.back(), "end none");
}

TEST_F(ConverterTest, RequestWhileConvertingIsRefused) {
    ASSERT_TRUE(converter_.convertPDFAtPath(pdf_, std::nullopt, {1}, "xlsx", folder_ + "/a.xlsx",
                                            QVPDFOptions()));
    EXPECT_FALSE(converter_.convertPDFAtPath(pdf_, std::nullopt, {2}, "xlsx",
                                             folder_ + "/b.xlsx", QVPDFOptions()));
    platform::MainQueue::shared().runUntil([this] { return recorder_.ended; });
    EXPECT_EQ(converter_.destDocPath(), folder_ + "/a.xlsx");
    EXPECT_EQ(recorder_.events.back(), "end none");
}

struct SourceCase {
    const char* name;
    std::function<std::string(const std::string& folder)> makeSource;
    std::optional<std::string> password;
    long code; // 0: no error
};

void PrintTo(const SourceCase& c, std::ostream* os) { *os << c.name; }

class ConverterSources : public ConverterTest, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(ConverterSources, OpenOutcome) {
    const SourceCase& c = GetParam();
    run({1}, c.makeSource(folder_), c.password);
    if (c.code == 0) {
        EXPECT_EQ(recorder_.events, (Events{"start", "ok 1 1 1", "save", "end none"}));
    } else {
        EXPECT_EQ(recorder_.events, (Events{"start", "end " + std::to_string(c.code)}));
        EXPECT_TRUE(script_.calls.empty()); // no exporter was made
    }
}

std::string encrypted(const std::string& folder, bool allowPrint = true) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "secret"}});
    return b.writeTo(folder + "/locked.pdf", fixtures::Encryption{"user", "owner", allowPrint});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ConverterSources,
    ::testing::Values(
        SourceCase{"missing_file", [](auto& f) { return f + "/nothing.pdf"; }, std::nullopt, 404},
        SourceCase{"folder", [](auto& f) { return f; }, std::nullopt, 404},
        SourceCase{"not_a_pdf",
                   [](auto& f) {
                       fixtures::PdfBuilder b;
                       std::string p = f + "/text.pdf";
                       FILE* fp = fopen(p.c_str(), "w");
                       fputs("just some text", fp);
                       fclose(fp);
                       return p;
                   },
                   std::nullopt, 405},
        SourceCase{"locked_without_password", [](auto& f) { return encrypted(f); }, std::nullopt,
                   405},
        SourceCase{"locked_empty_password", [](auto& f) { return encrypted(f); }, "", 405},
        SourceCase{"wrong_password", [](auto& f) { return encrypted(f); }, "guess", 405},
        SourceCase{"user_password", [](auto& f) { return encrypted(f); }, "user", 0},
        SourceCase{"owner_password", [](auto& f) { return encrypted(f, false); }, "owner", 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ConverterTest, UnreadableFileCannotBeLoaded) {
    std::string p = folder_ + "/unreadable.pdf";
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "x"}});
    b.writeTo(p);
    chmod(p.c_str(), 0);
    if (access(p.c_str(), R_OK) == 0)
        GTEST_SKIP() << "permissions do not apply to this user";
    run({1}, p);
    EXPECT_EQ(recorder_.events, (Events{"start", "end 405"}));
}

TEST(ConverterFormats, TableAndUnknownKey) {
    auto table = QVPDFConverter::supportDocTypes();
    EXPECT_EQ(table.size(), 7u);
    EXPECT_EQ(QVPDFConverter::supportDocTypeNameForKey("csv"), "Comma-Separated Values(.csv)");
    EXPECT_EQ(QVPDFConverter::supportDocTypeNameForKey("xlsx"), "Microsoft Excel(.xlsx)");
    EXPECT_FALSE(QVPDFConverter::supportDocTypeNameForKey("XLSX"));
    EXPECT_FALSE(QVPDFConverter::supportDocTypeNameForKey("doc"));

    std::string folder = fixtures::makeTestFolder("formats");
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "x"}});
    std::string pdf = b.writeTo(folder + "/one.pdf");
    QVPDFConverter converter;
    Recorder recorder;
    converter.setDelegate(&recorder);
    converter.convertPDFAtPath(pdf, std::nullopt, {1}, "doc", folder + "/one.doc", QVPDFOptions());
    platform::MainQueue::shared().runUntil([&] { return recorder.ended; });
    EXPECT_EQ(recorder.events, (Events{"start", "end 400"}));
    EXPECT_NE(recorder.endError->failureReason.find("\"doc\""), std::string::npos);
}

TEST(ConverterOptions, FreshOptionsAreAllZero) {
    QVPDFOptions options;
    const QVExcelOptions& x = *options.excelOptions();
    EXPECT_FALSE(x.allInOneSheet() || x.aiosAddToRow() || x.collectCGPaths() || x.collectFills());
    EXPECT_EQ(x.excelFormatOption(), 0u);
    EXPECT_EQ(x.thousandSepartor(), 0u);
    QVPDFExporter base;
    base.setNumberOfPagesToConvert(5);
    EXPECT_EQ(base.copyWithZone()->numberOfPagesToConvert(), 0);
}

TEST(ConverterLifetime, DestroyingMidRunDropsLateReports) {
    std::string folder = fixtures::makeTestFolder("lifetime");
    fixtures::PdfBuilder b;
    for (int i = 0; i < 20; ++i)
        b.addTextPage({{72, 700, 12, "x"}});
    std::string pdf = b.writeTo(folder + "/many.pdf");
    Recorder recorder;
    {
        Script script;
        QVPDFConverter converter;
        script.converter = &converter;
        converter.setDelegate(&recorder);
        converter.setExporterFactory([&script](const std::string&, const QVPDFOptions&) {
            return std::make_unique<ScriptedExporter>(script);
        });
        std::vector<int64_t> pages(20, 1);
        converter.convertPDFAtPath(pdf, std::nullopt, pages, "xlsx", folder + "/o.xlsx",
                                   QVPDFOptions());
    } // joins the worker; its queued reports must not reach a dead converter
    platform::MainQueue::shared().drain();
    EXPECT_EQ(recorder.events.front(), "start");
    EXPECT_FALSE(recorder.ended);
}

} // namespace
