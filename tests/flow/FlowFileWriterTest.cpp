#include "FlowFixture.h"

#include "flow/html/QVHTMLFileWriter.h"
#include "flow/rtf/QVRTFFileWriter.h"
#include "flow/text/QVTextFileWriter.h"

using flowtest::ScratchTest;

TEST(FlowEscaping, HtmlTextIsCharacterDataWithLineBreaks) {
    const struct {
        std::u16string in;
        std::string out;
    } cases[] = {
        {u"a&b<c>d\"e'f", "a&amp;b&lt;c&gt;d&quot;e'f"},
        {u"x\ny", "x<br>y"},
        {u"x\ry", "x<br>y"},
        {u"x\r\ny", "x<br>y"}, // one line end, one break
        {u"x\n\ny", "x<br><br>y"},
        {u"a\tb", "a b"}, // a tab inside a line is a blank
        {std::u16string(u"a\0b\x1b"
                        u"c\x7f"
                        u"d\x85"
                        u"e",
                        9),
         "abcde"},
        {u"\u00e9\u4e2d\U0001F600", "\xc3\xa9\xe4\xb8\xad\xf0\x9f\x98\x80"},
        {std::u16string(1, char16_t(0xD800)) + u"z", "\xef\xbf\xbdz"},
        {std::u16string(1, char16_t(0xDC00)), "\xef\xbf\xbd"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVHTMLFileWriter::_formatTextOfString(c.in), c.out) << c.out;
}

TEST(FlowEscaping, RtfTextIsPlainAsciiRtf) {
    const struct {
        std::u16string in;
        std::string out;
    } cases[] = {
        {u"Plain ASCII text 123 ~!", "Plain ASCII text 123 ~!"},
        {u"{a}\\b", "\\{a\\}\\\\b"},
        {u"\u00e9", "\\uc0\\u233 "},
        {u"\u00a0", "\\uc0\\u160 "},
        {std::u16string(1, char16_t(0xFFFF)), "\\uc0\\u65535 "},
        {u"\U0001F600", "\\uc0\\u55357 \\uc0\\u56832 "},
        {u"a\tb", "a\\tab b"},
        {u"a\nb\rc\r\nd", "a\\line b\\line c\\line d"},
        {std::u16string(u"a\0b\x7f"
                        u"c\x01",
                        6),
         "abc"}, // never a raw control byte
    };
    for (const auto& c : cases)
        EXPECT_EQ(QVRTFFileWriter::_formatTextOfString(c.in), c.out) << c.out;
    EXPECT_TRUE(QVRTFFileWriter::_reservedSetHasMember(u'{'));
    EXPECT_FALSE(QVRTFFileWriter::_reservedSetHasMember(u'~'));
    EXPECT_TRUE(QVRTFFileWriter::_reservedSetHasMember(127));
}

class FlowFileWriter : public ScratchTest {};

TEST_F(FlowFileWriter, AtMostFiveLineBreaksOrIndentationsInARow) {
    // HTML: "<br>" and three blanks share one count; other text restarts it.
    {
        auto w = QVHTMLFileWriter::initWithPath(path("a.html"));
        ASSERT_TRUE(w);
        for (int i = 0; i < 6; ++i)
            w->writeLinebreak();
        w->write("x");
        w->write("");      // empty: neither written nor resetting
        w->writeData("d"); // raw bytes: not counted either
        for (int i = 0; i < 3; ++i) {
            w->writeLinebreak();
            w->writeIndentation();
        }
        w->writeContent(u"\n"); // escaped to "<br>", which counts: dropped
        w->closeFile();
        EXPECT_EQ(read(path("a.html")), "<br><br><br><br><br>xd<br>   <br>   <br>");
    }
    // RTF: indentations count; the paragraph mark is always written.
    {
        auto w = QVRTFFileWriter::initWithPath(path("a.rtf"));
        ASSERT_TRUE(w);
        for (int i = 0; i < 6; ++i)
            w->writeIndentation();
        w->writeLinebreak();
        w->writeLinebreak();
        w->write("\n");
        w->closeFile();
        EXPECT_EQ(read(path("a.rtf")), std::string(20, ' ') + "\\\n\\\n\n");
    }
    // Plain text: a run that is exactly LF or four blanks counts.
    {
        auto w = QVTextFileWriter::initWithPath(path("a.txt"));
        ASSERT_TRUE(w);
        w->write("t");
        for (int i = 0; i < 4; ++i)
            w->writeLinebreak();
        w->writeContent(u"    ");
        w->writeContent(u"\n");
        w->writeContent(u"{\\tab}<b>\t");
        w->closeFile();
        EXPECT_EQ(read(path("a.txt")), "t\n\n\n\n    {\\tab}<b>\t");
    }
}

TEST_F(FlowFileWriter, OpeningEmptiesAnExistingFileAndFailsWhereNoFileCanBe) {
    ASSERT_TRUE(platform::writeFileAtomically(path("old.txt"), "old content"));
    auto w = QVTextFileWriter::initWithPath(path("old.txt"));
    ASSERT_TRUE(w);
    EXPECT_EQ(read(path("old.txt")), "");
    EXPECT_FALSE(QVHTMLFileWriter::initWithPath(path("missing/a.html")));
    EXPECT_FALSE(QVRTFFileWriter::initWithPath(folder_)); // a folder
}
