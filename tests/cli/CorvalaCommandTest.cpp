// The corvala command end to end: exit status, messages, output names.
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace {

struct Result {
    int status;
    std::string output; // stdout and stderr together
};

Result runCorvala(const std::string& arguments, const std::string& stdinText = "") {
    std::string command = std::string(CORVALA_BINARY_DIR) + "/bin/corvala " + arguments + " 2>&1";
    if (!stdinText.empty())
        command = "printf '%s\\n' '" + stdinText + "' | " + command;
    else
        command += " </dev/null";
    FILE* pipe = popen(command.c_str(), "r");
    Result r{-1, ""};
    if (!pipe)
        return r;
    std::array<char, 4096> buf;
    size_t n;
    while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0)
        r.output.append(buf.data(), n);
    int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class CorvalaCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            std::string("cli-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    std::string folder_;
};

} // namespace

TEST_F(CorvalaCommand, FormatsListsEveryKey) {
    Result r = runCorvala("formats");
    EXPECT_EQ(r.status, 0);
    for (const char* key : {"xlsx\tMicrosoft Excel(.xlsx)", "csv\t", "docx\t", "pptx\t", "txt\t",
                            "rtf\t", "html\t"})
        EXPECT_NE(r.output.find(key), std::string::npos) << key;
    // Formats this version does not write yet are marked, and refused before any work.
    EXPECT_NE(r.output.find("docx\tMicrosoft Word(.docx)\t(not available yet)"), std::string::npos);
    EXPECT_EQ(r.output.find("xlsx\tMicrosoft Excel(.xlsx)\t("), std::string::npos);
    Result docx = runCorvala("convert x.pdf -f docx");
    EXPECT_EQ(docx.status, 2);
    EXPECT_NE(docx.output.find("format \"docx\" is not available"), std::string::npos);
}

TEST_F(CorvalaCommand, UsageErrors) {
    EXPECT_EQ(runCorvala("").status, 2);
    EXPECT_EQ(runCorvala("convert").status, 2);
    Result r = runCorvala("convert x.pdf -f doc");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.output.find("unknown format \"doc\""), std::string::npos);
    EXPECT_EQ(runCorvala("convert x.pdf -o " + folder_ + "/missing").status, 2);
    for (const char* help : {"--help", "-h", "convert --help", "convert -h"}) {
        Result h = runCorvala(help);
        EXPECT_EQ(h.status, 0) << help;
        EXPECT_NE(h.output.find("usage: corvala convert"), std::string::npos) << help;
    }
}

TEST_F(CorvalaCommand, MissingFileAndFolderFailClearly) {
    Result missing = runCorvala("convert " + folder_ + "/nothing.pdf");
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.output.find("nothing.pdf: failed: Source File isn't exist."),
              std::string::npos)
        << missing.output;
    Result dir = runCorvala("convert " + folder_);
    EXPECT_EQ(dir.status, 1);
    EXPECT_NE(dir.output.find("failed: Source File isn't exist."), std::string::npos);
    // A failed run leaves no empty output behind.
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/nothing.xlsx"));
}

TEST_F(CorvalaCommand, EncryptedFileNeedsItsPassword) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "secret"}});
    std::string pdf = b.writeTo(folder_ + "/locked.pdf", fixtures::Encryption{"user", "owner", true});

    Result without = runCorvala("convert " + pdf);
    EXPECT_EQ(without.status, 1);
    EXPECT_NE(without.output.find("locked.pdf: failed: Can't load the PDF Document."),
              std::string::npos)
        << without.output;

    Result wrong = runCorvala("convert --password-stdin " + pdf, "guess");
    EXPECT_EQ(wrong.status, 1);
    EXPECT_NE(wrong.output.find("Can't load the PDF Document."), std::string::npos);

    // With the right password the document opens and converts.
    Result right = runCorvala("convert --password-stdin -o " + folder_ + " " + pdf, "user");
    EXPECT_EQ(right.status, 0) << right.output;
    EXPECT_NE(right.output.find("1 converted"), std::string::npos) << right.output;
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/locked.xlsx"));
}

TEST_F(CorvalaCommand, EmptyRangeIsAFailureAndSummaryCountsFiles) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "one"}});
    std::string pdf = b.writeTo(folder_ + "/one.pdf");
    Result r = runCorvala("convert -p 5-9 " + pdf + " " + folder_ + "/absent.pdf");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.output.find("no page of the range \"5-9\""), std::string::npos) << r.output;
    EXPECT_NE(r.output.find("0 converted, 2 failed"), std::string::npos) << r.output;
}
