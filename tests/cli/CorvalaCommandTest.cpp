// The corvala command end to end: exit status, messages, output names,
// passwords, ranges, spreadsheet options, JSON reports, signals and cleanup.
#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <set>

#include <unistd.h>

namespace fs = std::filesystem;
using fixtures::shellQuote;

namespace {

const std::string kCorvala = std::string(CORVALA_BINARY_DIR) + "/bin/corvala";

struct Result {
    int status;
    std::string output; // stdout and stderr together
};

class CorvalaCommand : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = fixtures::makeTestFolder(
            std::string("cli-") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        scratch_ = folder_ + "/scratch";
        fs::create_directory(scratch_);
    }

    /// Runs corvala in the test's folder with its own scratch area ($TMPDIR).
    Result run(const std::string& arguments, const std::string& stdinText = "") {
        std::string command = "cd " + shellQuote(folder_) + " && " + envPrefix_ +
                              "TMPDIR=" + shellQuote(scratch_) + " " + shellQuote(kCorvala) + " " +
                              arguments;
        command = stdinText.empty()
                      ? command + " </dev/null"
                      : "printf '%s\\n' " + shellQuote(stdinText) + " | (" + command + ")";
        auto r = fixtures::runCommand(command);
        return {r.exitCode, r.output};
    }

    std::string pdf(const std::string& name, int pages = 1) {
        fixtures::PdfBuilder b;
        for (int i = 0; i < pages; ++i)
            b.addTextPage({{72, 700, 12, "Page " + std::to_string(i + 1)}});
        return b.writeTo(folder_ + "/" + name);
    }
    /// A copy of `plain` encrypted by the qpdf command.
    std::string encrypted(const std::string& plain, const std::string& name,
                          const std::string& user, bool allowPrint) {
        const std::string out = folder_ + "/" + name;
        auto r = fixtures::runCommand("qpdf --encrypt " + shellQuote(user) + " owner 256 " +
                                      (allowPrint ? "" : "--print=none ") + "-- " +
                                      shellQuote(plain) + " " + shellQuote(out));
        EXPECT_EQ(r.exitCode, 0) << r.output;
        return out;
    }
    std::vector<std::string> entries(const std::string& dir) {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static bool has(const std::string& text, const std::string& part) {
        return text.find(part) != std::string::npos;
    }

    std::string folder_, scratch_;
    std::string envPrefix_; ///< extra environment for run(), "NAME=value "
};

} // namespace

TEST_F(CorvalaCommand, FormatsHelpVersionAndManual) {
    Result formats = run("formats");
    EXPECT_EQ(formats.status, 0);
    for (const char* key : {"xlsx\tMicrosoft Excel(.xlsx)", "csv\t", "docx\t", "pptx\t", "txt\t",
                            "rtf\t", "html\t"})
        EXPECT_TRUE(has(formats.output, key)) << key;
    EXPECT_TRUE(has(formats.output, "docx\tMicrosoft Word(.docx)\ta Word document"));
    EXPECT_TRUE(has(formats.output, "pptx\tMicrosoft PowerPoint(.pptx)\ta PowerPoint presentation"));
    EXPECT_TRUE(has(formats.output, "tab-separated UTF-16 text files"));
    EXPECT_TRUE(has(formats.output, "(not comma-separated UTF-8)"));

    Result version = run("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_TRUE(std::regex_search(version.output, std::regex("^corvala \\d+\\.\\d+\\.\\d+\n$")))
        << version.output;

    Result help = run("convert --help");
    for (const char* other : {"--help", "-h", "convert -h"}) {
        Result h = run(other);
        EXPECT_EQ(h.status, 0) << other;
        EXPECT_EQ(h.output, help.output) << other;
    }
    // Every command has its help, none takes it for a file name.
    const struct {
        std::string arguments, says;
    } helps[] = {
        {"info --help", "usage: corvala info [--json] [--password-stdin] FILE..."},
        {"info -h", "usage: corvala info [--json] [--password-stdin] FILE..."},
        {"trace --help", "usage: corvala trace FILE.pdf [-p PAGES]"},
        {"trace -h", "usage: corvala trace FILE.pdf [-p PAGES]"},
    };
    for (const auto& h : helps) {
        Result r = run(h.arguments);
        EXPECT_EQ(r.status, 0) << h.arguments << "\n" << r.output;
        EXPECT_TRUE(has(r.output, h.says)) << h.arguments << "\n" << r.output;
        EXPECT_FALSE(has(r.output, "no such file")) << h.arguments;
    }
    // Every option the help names has a line in the manual page, and so has
    // every exit status.
    std::ifstream in(std::string(CORVALA_BINARY_DIR) + "/share/man/man1/corvala.1");
    std::string manual((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(manual.empty());
    std::string plainManual = std::regex_replace(manual, std::regex("\\\\-"), "-");
    plainManual = std::regex_replace(plainManual, std::regex("\\\\f[BIR]"), "");
    std::set<std::string> options;
    std::regex option("(^|[\\s,])(--?[a-zA-Z][a-z-]*)");
    for (auto it = std::sregex_iterator(help.output.begin(), help.output.end(), option);
         it != std::sregex_iterator(); ++it)
        options.insert((*it)[2]);
    for (const char* expected : {"-f", "--format", "-p", "--pages", "-o", "--output",
                                 "--password-stdin", "--json", "--data-structure",
                                 "--thousands-separator", "--one-sheet", "-h", "--help"})
        EXPECT_TRUE(options.count(expected)) << expected << " missing from --help";
    for (const std::string& o : options)
        EXPECT_TRUE(has(plainManual, o)) << o << " missing from the manual page";
    for (const char* status : {".B 0\n", ".B 1\n", ".B 2\n", ".B 3\n", ".B 130\n"}) {
        EXPECT_TRUE(has(manual, status)) << status;
        EXPECT_TRUE(has(help.output, std::string(status).substr(3, std::string(status).size() - 4)));
    }
}

TEST_F(CorvalaCommand, UsageAndOutputFolderErrorsComeBeforeAnyWork) {
    const std::string one = pdf("one.pdf");
    std::ofstream(folder_ + "/afile") << "x";
    const struct {
        std::string arguments;
        int status;
        std::string message;
    } cases[] = {
        {"", 2, "usage: corvala convert"},
        {"convert", 2, "no input file"},
        {"convert one.pdf -f doc", 2, "unknown format \"doc\""},
        {"convert one.pdf --frobnicate", 2, "unknown option --frobnicate"},
        {"convert one.pdf -p", 2, "option -p needs a value"},
        {"convert one.pdf -p abc", 2, "\"abc\" is not a page number or range"},
        {"convert one.pdf --pages=1-2-3", 2, "\"1-2-3\" is not a page number or range"},
        {"convert one.pdf --one-sheet=diagonal", 2, "--one-sheet takes rows or side-by-side"},
        {"convert one.pdf --json=yes", 2, "option --json takes no value"},
        {"convert one.pdf -o missing", 3, "output folder missing does not exist"},
        {"convert one.pdf --output=afile", 3, "output folder afile is a file, not a folder"},
        // Rights alone do not tell: /proc takes no new file, for root too.
        {"convert one.pdf -o /proc", 3, "output folder /proc is not writable"},
        {"convert one.pdf -p ''", 2, "page range is empty"},
        {"convert one.pdf --pages=' , '", 2, "page range is empty"},
        {"info --frobnicate one.pdf", 2, "unknown option --frobnicate"},
    };
    for (const auto& c : cases) {
        Result r = run(c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.output;
        EXPECT_TRUE(has(r.output, c.message)) << c.arguments << "\n" << r.output;
    }
    if (::geteuid() != 0) {
        fs::create_directory(folder_ + "/readonly");
        fs::permissions(folder_ + "/readonly", fs::perms::owner_write, fs::perm_options::remove);
        Result r = run("convert one.pdf -o readonly");
        EXPECT_EQ(r.status, 3);
        EXPECT_TRUE(has(r.output, "is not writable (permission denied)")) << r.output;
        fs::permissions(folder_ + "/readonly", fs::perms::owner_write, fs::perm_options::add);
    }
    fs::remove(folder_ + "/readonly");
    EXPECT_EQ(entries(folder_), (std::vector<std::string>{"afile", "one.pdf", "scratch"}));

    // GNU and attached option forms work.
    fs::create_directory(folder_ + "/out");
    for (const char* form : {"--format=csv --pages=1 --output=out", "-fcsv -p1 -oout",
                             "-f 'Comma-Separated Values(.csv)' -p 1 -o out"}) {
        Result r = run(std::string("convert ") + form + " one.pdf");
        EXPECT_EQ(r.status, 0) << form << "\n" << r.output;
    }
    EXPECT_EQ(entries(folder_ + "/out"),
              (std::vector<std::string>{"one 2.csv", "one 3.csv", "one.csv"}));
    EXPECT_TRUE(fs::exists(folder_ + "/out/one.csv/Table 1.csv"));
}

TEST_F(CorvalaCommand, FilesThatCannotBeConvertedSayWhy) {
    pdf("a.pdf");
    fs::create_directory(folder_ + "/docs");
    pdf("docs/b.pdf");
    std::ofstream(folder_ + "/docs/notes.txt") << "not a pdf";
    fs::create_directory(folder_ + "/docs/sub");
    pdf("docs/sub/deep.pdf");
    fs::create_directory(folder_ + "/empty");
    std::ofstream(folder_ + "/fake.pdf") << "%PDF-1.4 nothing";

    Result r = run("convert a.pdf docs missing.pdf empty fake.pdf");
    EXPECT_EQ(r.status, 1) << r.output;
    EXPECT_TRUE(has(r.output, "missing.pdf: failed: no such file or folder")) << r.output;
    EXPECT_TRUE(has(r.output, "empty: failed: is a directory with no PDF file in it"));
    EXPECT_TRUE(has(r.output, "fake.pdf: failed: is not a PDF file")) << r.output;
    EXPECT_TRUE(has(r.output, "skipping docs/notes.txt: is not a PDF file")) << r.output;
    EXPECT_TRUE(has(r.output, "2 converted, 3 failed, 1 skipped\n")) << r.output;
    EXPECT_TRUE(fs::exists(folder_ + "/a.xlsx"));
    EXPECT_TRUE(fs::exists(folder_ + "/docs/b.xlsx"));
    EXPECT_FALSE(fs::exists(folder_ + "/docs/sub/deep.xlsx")); // sub-folders are not entered
    EXPECT_FALSE(fs::exists(folder_ + "/fake.xlsx"));
    EXPECT_FALSE(fs::exists(folder_ + "/missing.xlsx"));

    if (::geteuid() != 0) {
        fs::permissions(folder_ + "/a.pdf", fs::perms::owner_read, fs::perm_options::remove);
        Result unreadable = run("convert a.pdf");
        EXPECT_EQ(unreadable.status, 1);
        EXPECT_TRUE(has(unreadable.output, "a.pdf: failed: cannot be read (permission denied)"))
            << unreadable.output;
        fs::permissions(folder_ + "/a.pdf", fs::perms::owner_read, fs::perm_options::add);
        // A source folder that cannot take the output says so.
        fs::permissions(folder_ + "/docs", fs::perms::owner_write, fs::perm_options::remove);
        Result locked = run("convert docs/b.pdf");
        fs::permissions(folder_ + "/docs", fs::perms::owner_write, fs::perm_options::add);
        EXPECT_EQ(locked.status, 3);
        EXPECT_TRUE(has(locked.output,
                        "b.pdf: failed: output folder docs is not writable (permission denied)"))
            << locked.output;
    }
    // A source whose own folder takes no new file (here /dev/fd, for root
    // too) fails as -o does: exit 3, the same words; the other file goes on.
    Result procFolder = run("convert a.pdf /dev/fd/3 3<a.pdf");
    EXPECT_EQ(procFolder.status, 3) << procFolder.output;
    EXPECT_TRUE(has(procFolder.output, "3: failed: output folder /dev/fd is not writable"))
        << procFolder.output;
    EXPECT_TRUE(has(procFolder.output, "1 converted, 1 failed")) << procFolder.output;
}

TEST_F(CorvalaCommand, AHomeFolderThatCannotBeWrittenDoesNotStopAConversion) {
    // Work goes to $TMPDIR; a home under a plain file cannot be made even by root.
    pdf("a.pdf", 2);
    std::ofstream(folder_ + "/plainfile") << "x";
    envPrefix_ = "HOME=" + shellQuote(folder_ + "/plainfile/home") + " ";
    Result r = run("convert a.pdf");
    envPrefix_.clear();
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(has(r.output, "a.pdf -> ./a.xlsx (2 of 2 pages)")) << r.output;
    EXPECT_TRUE(fixtures::checkPackage(folder_ + "/a.xlsx").ok());
    EXPECT_TRUE(entries(scratch_).empty());
}

TEST_F(CorvalaCommand, PasswordsByStandardInput) {
    const std::string plain = pdf("plain.pdf");
    encrypted(plain, "locked.pdf", "user", true);
    encrypted(plain, "noprint.pdf", "", false);
    const struct {
        std::string file, password;
        int status;
        std::string message;
    } cases[] = {
        {"locked.pdf", "", 1, "locked.pdf: failed: it is locked: it needs its password; give it with --password-stdin"},
        {"locked.pdf", "guess", 1, "locked.pdf: failed: the password given does not open it"},
        {"locked.pdf", "user", 0, "locked.pdf -> ./locked.xlsx"},
        {"locked.pdf", "owner", 0, "locked.pdf -> ./locked 2.xlsx"},
        {"noprint.pdf", "", 1, "noprint.pdf: failed: printing it is restricted: it needs its owner password"},
        {"noprint.pdf", "guess", 1, "does not lift its printing restriction"},
        {"noprint.pdf", "owner", 0, "noprint.pdf -> ./noprint.xlsx"},
    };
    for (const auto& c : cases) {
        Result r = c.password.empty() ? run("convert " + c.file)
                                      : run("convert --password-stdin " + c.file, c.password);
        EXPECT_EQ(r.status, c.status) << c.file << " " << c.password << "\n" << r.output;
        EXPECT_TRUE(has(r.output, c.message)) << c.file << " " << c.password << "\n" << r.output;
    }
    auto check = fixtures::checkPackage(folder_ + "/locked.xlsx");
    EXPECT_TRUE(check.ok()) << check.output;
    Result info = run("info locked.pdf noprint.pdf plain.pdf");
    EXPECT_EQ(info.status, 0);
    // Without its password a locked file's printing is not known.
    EXPECT_TRUE(has(info.output, "locked.pdf\n  pages: unknown (locked)\n  encryption: needs a "
                                 "password to open\n  printing: unknown (locked)\n"))
        << info.output;
    // With it, the real answers: the user password opens it, the owner
    // password also lifts the printing restriction.
    const struct {
        std::string arguments, password, says;
    } withPassword[] = {
        {"info --password-stdin locked.pdf", "user",
         "locked.pdf\n  pages: 1\n  encryption: needs a password to open\n  printing: allowed\n"},
        {"info --password-stdin locked.pdf", "guess",
         "locked.pdf\n  pages: unknown (locked)\n  encryption: needs a password to open\n"
         "  printing: unknown (locked)\n"},
        {"info --password-stdin noprint.pdf", "owner",
         "noprint.pdf\n  pages: 1\n  encryption: permissions only (opens without a "
         "password)\n  printing: allowed\n"},
        {"info --json locked.pdf noprint.pdf",
         "",
         "{\"file\":\"locked.pdf\",\"pages\":null,\"encryption\":\"password\",\"printing\":null,"},
        {"info --json --password-stdin locked.pdf", "user",
         "{\"file\":\"locked.pdf\",\"pages\":1,\"encryption\":\"password\",\"printing\":true,"},
        {"info --json noprint.pdf missing.pdf", "",
         "{\"file\":\"noprint.pdf\",\"pages\":1,\"encryption\":\"permissions\",\"printing\":"
         "false,"},
    };
    for (const auto& c : withPassword) {
        Result r = run(c.arguments, c.password);
        EXPECT_TRUE(has(r.output, c.says)) << c.arguments << " / " << c.password << "\n" << r.output;
    }
    // --json: one object a line, sizes included, a missing file named with why.
    Result json = run("info --json plain.pdf missing.pdf");
    EXPECT_EQ(json.status, 1);
    auto parsed = fixtures::runPython(R"PY(
import json, sys
for line in sys.argv[1].splitlines():
    o = json.loads(line)
    print(o["file"], o.get("pages"), o.get("encryption"), o.get("printing"), o.get("bytes", 0) > 0,
          o.get("error"))
)PY",
                                      {json.output});
    EXPECT_EQ(parsed.output, "plain.pdf 1 none True True None\n"
                             "missing.pdf None None None False no such file\n")
        << json.output;
    EXPECT_TRUE(has(info.output, "noprint.pdf\n  pages: 1\n  encryption: permissions only (opens "
                                 "without a password)\n  printing: not allowed\n"));
    EXPECT_TRUE(std::regex_search(info.output,
                                  std::regex("plain.pdf\n  pages: 1\n  encryption: none\n  "
                                             "printing: allowed\n  size: \\d+\\.\\d KB\n")));
    EXPECT_EQ(run("info missing.pdf").status, 1);
}

TEST_F(CorvalaCommand, PasswordPromptOnATerminal) {
    const std::string plain = pdf("plain.pdf");
    encrypted(plain, "locked.pdf", "user", true);
    // A pseudo-terminal: a wrong password, then the right one. The typed
    // text must not come back (echo off).
    auto r = fixtures::runPython(R"PY(
import os, pty, signal, sys
signal.alarm(120)  # a guard against a hang, not a timing
pid, fd = pty.fork()
if pid == 0:
    os.chdir(sys.argv[2])
    os.environ["TMPDIR"] = sys.argv[3]
    os.execv(sys.argv[1], [sys.argv[1], "convert", "locked.pdf"])
seen = b""
def read_until(marker, count=1):
    """Reads until `marker` was seen `count` times; False at the end of output."""
    global seen
    while seen.count(marker) < count:
        try:
            chunk = os.read(fd, 1024)
        except OSError:
            return False
        if not chunk:
            return False
        seen += chunk
    return True
prompt = b"Password for locked.pdf: "
assert read_until(prompt)
os.write(fd, b"wrongpass\n")
assert read_until(prompt, 2)
os.write(fd, b"user\n")
read_until(b"end of output")
_, status = os.waitpid(pid, 0)
text = seen.decode("utf-8", "replace")
print("exit", os.WEXITSTATUS(status))
print("echoed", "wrongpass" in text)
print("converted", "locked.pdf -> ./locked.xlsx" in text)
print("bar", "] 1/1" in text)
)PY",
                                 {kCorvala, folder_, scratch_});
    EXPECT_TRUE(has(r.output, "exit 0\n")) << r.output;
    EXPECT_TRUE(has(r.output, "echoed False\n")) << r.output;
    EXPECT_TRUE(has(r.output, "converted True\n")) << r.output;
    EXPECT_TRUE(has(r.output, "bar True\n")) << r.output; // progress bar on a terminal
    EXPECT_TRUE(fs::exists(folder_ + "/locked.xlsx"));
}

TEST_F(CorvalaCommand, PageRangesAndJsonReports) {
    pdf("four.pdf", 4);
    // A name with a quote and a non-ASCII letter must survive the JSON.
    const std::string odd = "on\"e \xC3\xBC.pdf";
    pdf(odd, 1);
    // "2-" is page 2 to the end; pages the document lacks are named; a range
    // with no page of a document fails that file and makes no output.
    Result r = run("convert --json -p 2-,9 four.pdf " + shellQuote(odd));
    EXPECT_EQ(r.status, 1) << r.output;
    std::string script = R"PY(
import json, sys
for line in open(sys.argv[1]).read().splitlines():
    o = json.loads(line)
    e = o["event"]
    f = o.get("file", "").split("/")[-1]
    if e == "start":
        print(e, f, o["pages"], o["outside"])
    elif e == "page":
        print(e, f, o["page"], o["position"], o["done"])
    elif e == "end":
        print(e, f, (o["output"] or "-").split("/")[-1], o["error"] and o["error"]["reason"])
    elif e == "summary":
        print(e, o["converted"], o["failed"], o["skipped"], o["canceled"], o["not_started"])
    else:
        print(e, f)
)PY";
    std::ofstream(folder_ + "/reports.json") << r.output;
    auto read = fixtures::runPython(script, {folder_ + "/reports.json"});
    EXPECT_EQ(read.output, "start four.pdf 3 ['9']\n"
                           "page four.pdf 2 1 1\n"
                           "page four.pdf 3 2 2\n"
                           "page four.pdf 4 3 3\n"
                           "will-save four.pdf\n"
                           "end four.pdf four.xlsx None\n"
                           "start on\"e \xC3\xBC.pdf 0 []\n"
                           "end on\"e \xC3\xBC.pdf - The page range \"2-,9\" selects no page of the document "
                           "(1 page).\n"
                           "summary 1 1 0 0 0\n")
        << r.output;
    EXPECT_FALSE(fs::exists(folder_ + "/on\"e \xC3\xBC.xlsx"));

    Result plain = run("convert -p 1-3,5 four.pdf");
    EXPECT_EQ(plain.status, 0);
    EXPECT_TRUE(has(plain.output, "four.pdf: the document has 4 pages; skipping 5\n")) << plain.output;
    EXPECT_TRUE(has(plain.output, "four.pdf -> ./four 2.xlsx (3 of 3 pages)")) << plain.output;

    // Page 0 is named like any page the document lacks; a range with no page
    // of the document fails that file (exit 1) and makes nothing.
    const struct {
        std::string range;
        int status;
        std::string says;
    } ranges[] = {
        {"0-2", 0, "four.pdf: the document has 4 pages; skipping 0\n"},
        {"0", 1, "four.pdf: failed: The page range \"0\" selects no page of the document (4 pages)."},
        {"30", 1, "four.pdf: failed: The page range \"30\" selects no page of the document"},
        {"0,9-12", 1, "four.pdf: failed: The page range \"0,9-12\" selects no page"},
    };
    fs::create_directory(folder_ + "/out");
    for (const auto& c : ranges) {
        Result r = run("convert -o out -p " + shellQuote(c.range) + " four.pdf");
        EXPECT_EQ(r.status, c.status) << c.range << "\n" << r.output;
        EXPECT_TRUE(has(r.output, c.says)) << c.range << "\n" << r.output;
        fs::remove_all(folder_ + "/out/four.xlsx");
    }
    EXPECT_TRUE(fs::is_empty(folder_ + "/out"));
}

TEST_F(CorvalaCommand, APageWithoutTextIsAWarningNotAFailure) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "Words"}});
    fixtures::PageSpec picture;
    picture.content = "0.5 g 72 72 400 600 re f";
    b.addPage(picture);
    b.writeTo(folder_ + "/scan.pdf");
    Result r = run("convert -f txt scan.pdf");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(has(r.output, "scan.pdf: page 2 has no text; it may be a scanned image\n"))
        << r.output;
    Result json = run("convert --json -f csv scan.pdf");
    EXPECT_EQ(json.status, 0) << json.output;
    EXPECT_TRUE(has(json.output, "{\"event\":\"page-warning\",\"file\":"));
    EXPECT_TRUE(has(json.output, "\"page\":2,\"warning\":\"page 2 has no text; it may be a "
                                 "scanned image\"}\n"))
        << json.output;
}

TEST_F(CorvalaCommand, SpreadsheetOptionsChangeTheWorkbook) {
    fixtures::PdfBuilder b;
    b.addTextPage({{72, 700, 12, "Alpha"}, {200, 700, 12, "1.250"}});
    b.addTextPage({{72, 700, 12, "Beta"}, {200, 700, 12, "3.400,50"}});
    b.writeTo(folder_ + "/two.pdf");
    const std::string dump = R"PY(
import openpyxl, sys
wb = openpyxl.load_workbook(sys.argv[1])
for ws in wb.worksheets:
    a1 = ws["A1"]
    cells = " ".join("%s%d=%s%s" % (c.column_letter, c.row, "#" if not isinstance(c.value, str) else "",
                                    c.value) for row in ws.iter_rows() for c in row if c.value is not None)
    print("%s | %s %g wrap=%s | %s" % (ws.title, a1.font.name, a1.font.sz, bool(a1.alignment.wrap_text), cells))
)PY";
    const struct {
        std::string options, workbook;
    } cases[] = {
        {"", "Sheet 1 | Helvetica 12 wrap=True | A1=Alpha B1=#1.25\n"
             "Sheet 2 | Helvetica 12 wrap=True | A1=Beta B1=3.400,50\n"},
        {"--thousands-separator=point", "Sheet 1 | Helvetica 12 wrap=True | A1=Alpha B1=#1250\n"
                                        "Sheet 2 | Helvetica 12 wrap=True | A1=Beta B1=#3400.5\n"},
        {"--data-structure=numbers", "Sheet 1 | Helvetica 10 wrap=False | A1=Alpha B1=#1.25\n"
                                     "Sheet 2 | Helvetica 10 wrap=False | A1=Beta B1=3.400,50\n"},
        {"--data-structure=text --thousands-separator=point",
         "Sheet 1 | Arial Unicode MS 10 wrap=False | A1=Alpha B1=1.250\n"
         "Sheet 2 | Arial Unicode MS 10 wrap=False | A1=Beta B1=3.400,50\n"},
        {"--one-sheet=rows", "Sheet 1 | Helvetica 12 wrap=True | A1=Alpha B1=#1.25 A2=Beta B2=3.400,50\n"},
        {"--one-sheet=side-by-side",
         "Sheet 1 | Helvetica 12 wrap=True | A1=Alpha B1=#1.25 C1=Beta D1=3.400,50\n"},
    };
    for (const auto& c : cases) {
        fs::remove(folder_ + "/two.xlsx");
        Result r = run("convert two.pdf " + c.options);
        ASSERT_EQ(r.status, 0) << c.options << "\n" << r.output;
        auto read = fixtures::runPython(dump, {folder_ + "/two.xlsx"});
        EXPECT_EQ(read.output, c.workbook) << c.options;
    }
}

TEST_F(CorvalaCommand, InterruptsAndFailuresLeaveNothingBehind) {
    // Enough pages that the run is still going when the signal comes.
    fixtures::PdfBuilder b;
    for (int p = 0; p < 300; ++p) {
        std::vector<fixtures::PdfBuilder::TextLine> lines;
        for (int r = 0; r < 30; ++r)
            lines.push_back({72, 750.0 - r * 20, 10, "Row " + std::to_string(r)});
        b.addTextPage(lines);
    }
    b.writeTo(folder_ + "/many.pdf");
    pdf("second.pdf");

    // Ctrl-C once: the run ends with the cancel, the second file never
    // starts. Twice: out at once. SIGTERM: as Ctrl-C. SIGKILL: the command's
    // watcher clears up after it.
    const std::string script = R"PY(
import json, os, signal, subprocess, sys
signal.alarm(120)  # a guard against a hang, not a timing
corvala, folder, scratch, how = sys.argv[1:5]
p = subprocess.Popen([corvala, "convert", "--json", "many.pdf", "second.pdf"], cwd=folder,
                     env=dict(os.environ, TMPDIR=scratch), stdout=subprocess.PIPE,
                     stderr=subprocess.PIPE, text=True)
for line in p.stdout:
    if json.loads(line)["event"] == "page":
        break
if how == "int":
    p.send_signal(signal.SIGINT)
elif how == "term":
    p.send_signal(signal.SIGTERM)
elif how == "int-int":
    p.send_signal(signal.SIGINT); p.send_signal(signal.SIGINT)
else:
    p.send_signal(signal.SIGKILL)
rest = [json.loads(l) for l in p.stdout]
p.stderr.read()  # its end comes when whatever clears up after the command is done
p.wait()
ends = [o["error"]["code"] if o["error"] else 0 for o in rest if o["event"] == "end"]
summary = [(o["converted"], o["failed"], o["canceled"], o["not_started"]) for o in rest
           if o["event"] == "summary"]
print(p.returncode, ends, summary)
)PY";
    const struct {
        std::string how, printed;
        bool leftovers;
    } cases[] = {
        {"int", "130 [406] [(0, 0, 1, 1)]\n", false},
        {"term", "130 [406] [(0, 0, 1, 1)]\n", false},
        // Two signals sent at once may reach the program as one, or the
        // second may come while the first cancel is being reported: out at
        // once, at any point of that report.
        {"int-int", "130 [] []\n|130 [406] []\n|130 [406] [(0, 0, 1, 1)]\n", false},
        {"kill", "-9 [] []\n", false},
    };
    for (const auto& c : cases) {
        auto r = fixtures::runPython(script, {kCorvala, folder_, scratch_, c.how});
        bool expected = false;
        for (size_t from = 0, bar; from <= c.printed.size(); from = bar + 1) {
            bar = c.printed.find('|', from);
            if (bar == std::string::npos)
                bar = c.printed.size();
            expected = expected || r.output == c.printed.substr(from, bar - from);
        }
        EXPECT_TRUE(expected) << c.how << ": " << r.output;
        EXPECT_FALSE(fs::exists(folder_ + "/second.xlsx")) << c.how;
        if (c.leftovers) {
            // A killed process leaves its reserved name and work folder; the
            // next run releases and removes them.
            EXPECT_EQ(fs::file_size(folder_ + "/many.xlsx"), 0u);
            EXPECT_FALSE(entries(scratch_).empty());
            run("convert missing.pdf");
        }
        EXPECT_FALSE(fs::exists(folder_ + "/many.xlsx")) << c.how;
        EXPECT_TRUE(entries(scratch_).empty()) << c.how;
    }

    // A write that fails (here a file-size limit, as a full disk would) ends
    // the file with the cause named and nothing left behind.
    auto full = fixtures::runCommand("cd " + shellQuote(folder_) + " && ulimit -f 4 && TMPDIR=" +
                                     shellQuote(scratch_) + " " + shellQuote(kCorvala) +
                                     " convert -p 1-3 many.pdf");
    EXPECT_EQ(full.exitCode, 1) << full.output;
    EXPECT_TRUE(std::regex_search(full.output,
                                  std::regex("many.pdf: failed: [^\n]*last error: [^\n]*File too large")))
        << full.output;
    EXPECT_FALSE(fs::exists(folder_ + "/many.xlsx"));
    EXPECT_TRUE(entries(scratch_).empty());
}

TEST_F(CorvalaCommand, PageTreesThatLoopOrHaveNoPage) {
    auto text = [](const std::string& t) {
        const std::string data = "BT /F1 24 Tf 72 700 Td (" + t + ") Tj ET";
        return "<< /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream";
    };
    auto page = [](int content) {
        return "<< /Type /Page /Parent 4 0 R /MediaBox [0 0 612 792] /Resources << /Font << "
               "/F1 9 0 R >> >> /Contents " +
               std::to_string(content) + " 0 R >>";
    };
    // The inner node lists the root again: poppler reads both pages.
    std::ofstream(folder_ + "/loop.pdf", std::ios::binary) << fixtures::rawPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"},
         {2, "<< /Type /Pages /Kids [4 0 R] /Count 2 >>"},
         {4, "<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 2 0 R 6 0 R] /Count 2 >>"},
         {5, page(20)},
         {6, page(21)},
         {9, "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>"},
         {20, text("First page")},
         {21, text("Second page")}});
    Result r = run("convert -f csv loop.pdf");
    EXPECT_EQ(r.status, 0) << r.output;
    EXPECT_TRUE(has(r.output, "(2 of 2 pages)")) << r.output;
    for (int p = 1; p <= 2; ++p) {
        auto poppler = fixtures::runCommand("pdftotext -q -f " + std::to_string(p) + " -l " +
                                            std::to_string(p) + " " +
                                            shellQuote(folder_ + "/loop.pdf") + " -");
        auto ours = fixtures::runPython(
            "import sys; print(open(sys.argv[1], encoding='utf-16').read().strip())",
            {folder_ + "/loop.csv/Table " + std::to_string(p) + ".csv"});
        EXPECT_EQ(ours.output, poppler.output.substr(0, poppler.output.find('\n') + 1)) << p;
    }

    // A sound tree without a page: no output, and no empty range quoted.
    std::ofstream(folder_ + "/none.pdf", std::ios::binary) << fixtures::rawPdf(
        {{1, "<< /Type /Catalog /Pages 2 0 R >>"}, {2, "<< /Type /Pages /Kids [] /Count 0 >>"}});
    for (const char* args : {"convert none.pdf", "convert -p 2 none.pdf"}) {
        Result none = run(args);
        EXPECT_EQ(none.status, 1) << args;
        EXPECT_TRUE(has(none.output, "none.pdf: failed: The document has no readable page."))
            << none.output;
        EXPECT_FALSE(has(none.output, "\"\"")) << none.output;
    }
    EXPECT_FALSE(fs::exists(folder_ + "/none.xlsx"));
}

TEST_F(CorvalaCommand, EveryExitPathLeavesNothingBehindInEveryFormat) {
    // Pages with text and a picture each: every format is still at work when
    // the signal comes, with pictures in the scratch folder and (txt, rtf,
    // html) a hidden part file beside the output.
    fixtures::PdfBuilder b;
    const std::string font = b.addStandardFont();
    std::string pixels;
    for (int i = 0; i < 16 * 16; ++i)
        pixels += {static_cast<char>(i), static_cast<char>(255 - i), static_cast<char>(i * 7)};
    for (int p = 0; p < 2000; ++p) {
        const std::string image = b.addStream(
            "<< /Type /XObject /Subtype /Image /Width 16 /Height 16 /ColorSpace /DeviceRGB "
            "/BitsPerComponent 8 >>",
            pixels);
        std::string content = "q 200 0 0 200 300 400 cm /Im1 Do Q BT /F1 10 Tf";
        for (int r = 0; r < 30; ++r)
            content += " 1 0 0 1 72 " + std::to_string(750 - r * 20) + " Tm (Row " +
                       std::to_string(r) + " of page " + std::to_string(p + 1) + ") Tj";
        content += " ET";
        fixtures::PageSpec page;
        page.content = content;
        page.resources = "<< /Font << /F1 " + font + " >> /XObject << /Im1 " + image + " >> >>";
        b.addPage(page);
    }
    b.writeTo(folder_ + "/many.pdf");
    fs::create_directory(folder_ + "/out");

    // `how`: the signals sent once the first page is reported. "int,int"
    // sends two at once; "int;int" the second while the cancel is under way;
    // "kill" ends the command alone; "killpg" its whole process group, so
    // nothing of it can clean up and the next run must.
    const std::string script = R"PY(
import json, os, signal, subprocess, sys, time
signal.alarm(120)  # a guard against a hang, not a timing
corvala, folder, scratch, fmt, how = sys.argv[1:6]
p = subprocess.Popen([corvala, "convert", "--json", "-f", fmt, "-o", "out", "many.pdf"],
                     cwd=folder, env=dict(os.environ, TMPDIR=scratch), stdout=subprocess.PIPE,
                     stderr=subprocess.PIPE, text=True, start_new_session=True)
for line in p.stdout:
    if json.loads(line)["event"] == "page":
        break
for step in how.split(","):
    for i, name in enumerate(step.split(";")):
        if i:
            time.sleep(0.05)
        if name == "killpg":
            os.killpg(p.pid, signal.SIGKILL)
        else:
            p.send_signal({"int": signal.SIGINT, "term": signal.SIGTERM,
                           "kill": signal.SIGKILL}[name])
rest = [json.loads(l) for l in p.stdout]
p.stderr.read()  # its end comes when whatever clears up after the command is done
p.wait()
ends = [o["status"] for o in rest if o["event"] == "end"]
summary = [(o["converted"], o["failed"], o["canceled"]) for o in rest if o["event"] == "summary"]
print(p.returncode, ends, summary)
)PY";
    const struct {
        std::string how;
        std::vector<std::string> printed; ///< any of these
        bool secondRunClears;
    } paths[] = {
        {"int", {"130 ['canceled'] [(0, 0, 1)]\n"}, false},
        {"term", {"130 ['canceled'] [(0, 0, 1)]\n"}, false},
        // Two signals: out at once, at whatever point of the cancel's report.
        {"int,int",
         {"130 [] []\n", "130 ['canceled'] []\n", "130 ['canceled'] [(0, 0, 1)]\n"},
         false},
        {"int;int",
         {"130 [] []\n", "130 ['canceled'] []\n", "130 ['canceled'] [(0, 0, 1)]\n"},
         false},
        {"term;int",
         {"130 [] []\n", "130 ['canceled'] []\n", "130 ['canceled'] [(0, 0, 1)]\n"},
         false},
        {"kill", {"-9 [] []\n"}, false},
        {"killpg", {"-9 [] []\n"}, true},
    };
    for (const char* format : {"xlsx", "csv", "docx", "pptx", "txt", "rtf", "html"}) {
        for (const auto& path : paths) {
            // Every path on pptx (pictures) and txt (a part file); the two
            // harshest on the other formats.
            const bool everyPath = std::string(format) == "pptx" || std::string(format) == "txt";
            if (!everyPath && path.how != "int,int" && path.how != "killpg")
                continue;
            const std::string what = std::string(format) + " " + path.how;
            auto r = fixtures::runPython(script, {kCorvala, folder_, scratch_, format, path.how});
            EXPECT_TRUE(std::find(path.printed.begin(), path.printed.end(), r.output) !=
                        path.printed.end())
                << what << ": " << r.output;
            if (path.secondRunClears) {
                // The reserved name, and the scratch folder, are still there...
                EXPECT_FALSE(entries(folder_ + "/out").empty()) << what;
                EXPECT_FALSE(entries(scratch_).empty()) << what;
                // ...until the next run, whatever it converts.
                run("convert missing.pdf");
            }
            EXPECT_EQ(entries(folder_ + "/out"), std::vector<std::string>{}) << what;
            EXPECT_EQ(entries(scratch_), std::vector<std::string>{}) << what;
            fs::remove_all(folder_ + "/out");
            fs::create_directory(folder_ + "/out");
            fs::remove_all(scratch_);
            fs::create_directory(scratch_);
        }
    }
}

TEST_F(CorvalaCommand, AMissingTemporaryFolderIsNotMade) {
    pdf("one.pdf");
    // TMPDIR names a folder that does not exist: the command says so, works
    // in the system's temporary folder, and makes nothing of the missing path.
    auto r = fixtures::runCommand("cd " + shellQuote(folder_) +
                                  " && TMPDIR=missing/a/b " + shellQuote(kCorvala) +
                                  " convert -f pptx one.pdf </dev/null");
    EXPECT_EQ(r.exitCode, 0) << r.output;
    EXPECT_TRUE(has(r.output, "corvala: warning: TMPDIR (missing/a/b) is not a folder; using /tmp "
                              "instead"))
        << r.output;
    EXPECT_FALSE(fs::exists(folder_ + "/missing"));
    EXPECT_TRUE(fs::exists(folder_ + "/one.pptx"));
}
