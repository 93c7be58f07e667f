#include "writer/XMLFileWriter.h"

#include "fixtures/PackageCheck.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

const char* kDecl = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\" ?>";

class XMLFileWriterTest : public ::testing::Test {
protected:
    void SetUp() override { folder_ = fixtures::makeTestFolder("xmlwriter"); }

    std::string path(const std::string& name) const { return folder_ + "/" + name; }

    /// Writes a file with `body` and returns its bytes.
    std::string written(const std::function<void(XMLFileWriter&)>& body) {
        const std::string p = path("part.xml");
        auto w = XMLFileWriter::initWithPath(p);
        EXPECT_TRUE(w);
        if (!w)
            return {};
        w->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        body(*w);
        w->writeEndDocument();
        return platform::readFile(p).value_or("<unreadable>");
    }

    std::string folder_;
};

TEST_F(XMLFileWriterTest, RelationshipsLayoutIsExact) {
    std::string out = written([](XMLFileWriter& w) {
        w.writeStartElement("Relationships");
        w.writeAttribute("xmlns", "http://schemas.openxmlformats.org/package/2006/relationships");
        for (int i = 1; i <= 3; ++i) {
            w.writeStartElement("Relationship");
            w.writeAttribute("Id", "rId" + std::to_string(i));
            w.writeEndElement();
        }
    });
    EXPECT_EQ(out, std::string(kDecl) +
                       "\n<Relationships "
                       "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\">"
                       "\n\t<Relationship Id=\"rId1\"/>"
                       "\n\t<Relationship Id=\"rId2\"/>"
                       "\n\t<Relationship Id=\"rId3\"/>"
                       "\n</Relationships>");
}

// A held stretch reaches the file whole or not at all: after a discard the
// writer goes on as if the stretch had never been started, open elements and
// namespace scopes included, also when the stretch outgrew the flush buffer.
TEST_F(XMLFileWriterTest, HeldOutputIsCommittedWholeOrDiscarded) {
    std::string out = written([](XMLFileWriter& w) {
        w.writeStartElement("body");
        w.holdOutput();
        w.writeStartElement("kept");
        w.writeCharacters("a");
        w.writeEndElement();
        w.commitHeldOutput();
        w.holdOutput();
        w.setPrefix(std::string("x"), std::string("urn:x"));
        w.writeStartElementWithNamespace("urn:x", "dropped");
        for (int i = 0; i < 20000; ++i) {
            w.writeStartElement("p");
            w.writeCharacters("0123456789");
            w.writeEndElement();
        }
        w.discardHeldOutput();
        EXPECT_FALSE(w.isHoldingOutput());
        EXPECT_EQ(w.level(), 1);
        w.writeStartElement("after");
        w.writeEndElement();
    });
    EXPECT_EQ(out, std::string(kDecl) + "\n<body>\n\t<kept>a</kept>\n\t<after/>\n</body>");
}

TEST_F(XMLFileWriterTest, ClosingFormsAndTextLayout) {
    std::string out = written([](XMLFileWriter& w) {
        w.writeStartElement("root");
        w.writeStartElement("named");
        w.writeAttribute("a", "1");
        w.writeEndElement("named"); // start and end tag side by side
        w.writeStartElement("plain");
        w.writeAttribute("a", "2");
        w.writeEndElement(); // one tag ending in "/>"
        w.writeStartElement("parent");
        w.writeStartElement("t");
        w.writeCharacters("text");
        w.writeEndElement("t");
        w.writeEndElement("parent"); // after a child: own line
        w.writeStartElement("leaf");
        w.writeCharacters("x");
        w.writeEndElement("leaf"); // after text: same line
        w.writeEmptyElement("empty");
    });
    EXPECT_EQ(out, std::string(kDecl) + "\n<root>"
                                        "\n\t<named a=\"1\"></named>"
                                        "\n\t<plain a=\"2\"/>"
                                        "\n\t<parent>"
                                        "\n\t\t<t>text</t>"
                                        "\n\t</parent>"
                                        "\n\t<leaf>x</leaf>"
                                        "\n\t<empty/>"
                                        "\n</root>");
}

TEST_F(XMLFileWriterTest, NamespacesDeclaredOnceOnTheRootInBindingOrder) {
    const std::string cp =
        "http://schemas.openxmlformats.org/package/2006/metadata/core-properties";
    const std::string dc = "http://purl.org/dc/elements/1.1/";
    const std::string xsi = "http://www.w3.org/2001/XMLSchema-instance";
    const std::string scoped = "urn:scoped";
    std::string out = written([&](XMLFileWriter& w) {
        w.setPrefix(std::string("cp"), cp);
        w.setPrefix(std::string("dc"), dc);
        w.setPrefix(std::string("xsi"), xsi);
        w.writeStartElementWithNamespace(cp, "coreProperties");
        w.writeStartElementWithNamespace(dc, "title");
        w.writeAttributeWithNamespace(xsi, "type", "x");
        w.writeCharacters("T");
        w.writeEndElement();
        // A binding made inside the root belongs to the next start tag only.
        w.setPrefix(std::string("s"), scoped);
        w.writeStartElementWithNamespace(scoped, "inner");
        w.writeEndElement();
        EXPECT_FALSE(w.getPrefix(scoped));
        EXPECT_THROW(w.writeEmptyElementWithNamespace(scoped, "gone"), XMLWriterException);
    });
    EXPECT_EQ(out, std::string(kDecl) + "\n<cp:coreProperties xmlns:cp=\"" + cp + "\" xmlns:dc=\"" +
                       dc + "\" xmlns:xsi=\"" + xsi +
                       "\">"
                       "\n\t<dc:title xsi:type=\"x\">T</dc:title>"
                       "\n\t<s:inner xmlns:s=\"urn:scoped\"/>"
                       "\n</cp:coreProperties>");
}

// A namespace's prefix is whatever binds it at the time: a binding that ended
// with its element, or that a discarded stretch made, is gone, and the same
// namespace bound again under another prefix is written with the new one.
TEST_F(XMLFileWriterTest, ANamespaceTakesThePrefixThatBindsItNow) {
    const std::string uri = "urn:rebound";
    std::string out = written([&](XMLFileWriter& w) {
        w.writeStartElement("root");
        w.setPrefix(std::string("s"), uri);
        w.writeStartElementWithNamespace(uri, "first");
        w.writeAttributeWithNamespace(uri, "a", "1");
        w.writeEndElement();
        w.setPrefix(std::string("t"), uri);
        w.writeStartElementWithNamespace(uri, "second");
        w.writeStartElementWithNamespace(uri, "child");
        w.writeCharacters("c");
        w.writeEndElement();
        w.writeEndElementWithNamespace(uri, "second");
        w.holdOutput();
        w.setPrefix(std::string("u"), uri);
        w.writeStartElementWithNamespace(uri, "dropped");
        w.discardHeldOutput();
        EXPECT_THROW(w.writeStartElementWithNamespace(uri, "unbound"), XMLWriterException);
    });
    EXPECT_EQ(out, std::string(kDecl) + "\n<root>"
                                        "\n\t<s:first xmlns:s=\"urn:rebound\" s:a=\"1\"/>"
                                        "\n\t<t:second xmlns:t=\"urn:rebound\">"
                                        "\n\t\t<t:child>c</t:child>"
                                        "\n\t</t:second>"
                                        "\n</root>");
}

TEST_F(XMLFileWriterTest, EscapingRoundTripsThroughAnXMLParser) {
    // Text: markup characters, a vertical tab and U+FFFE (not XML characters),
    // a character outside the BMP, invalid UTF-8 and, in UTF-16, a lone surrogate.
    const std::string utf8 = "a&b<c>d\"e'f\v|\xEF\xBF\xBE|\xF0\x9F\x98\x80|\xC3\x28|\xED\xA0\x80|";
    const std::u16string utf16 = u"g\xD83D|h\xDE00|\U0001F600|\uFFFF|\t";
    std::string out = written([&](XMLFileWriter& w) {
        w.writeStartElement("r");
        w.writeAttribute("v", "q\"u&o<te>'");
        w.writeStartElement("a");
        w.writeCharacters(utf8);
        w.writeEndElement();
        w.writeStartElement("b");
        w.writeCharacters(utf16);
        w.writeEndElement();
    });
    EXPECT_NE(out.find("a&amp;b&lt;c&gt;d&quot;e'f"), std::string::npos) << out;
    EXPECT_NE(out.find("v=\"q&quot;u&amp;o&lt;te&gt;'\""), std::string::npos) << out;

    auto r = fixtures::runPython(R"(
import sys, xml.etree.ElementTree as E
root = E.parse(sys.argv[1]).getroot()
for s in (root.get('v'), root.find('a').text, root.find('b').text):
    print(' '.join('%X' % ord(c) for c in s))
)",
                                 {path("part.xml")});
    ASSERT_TRUE(r.ok()) << r.output;
    EXPECT_EQ(r.output,
              // q"u&o<te>'
              "71 22 75 26 6F 3C 74 65 3E 27\n"
              // a&b<c>d"e'f | (VT and U+FFFE dropped) | U+1F600 | C3 28 -> FFFD ( | surrogate ->
              // FFFD x3 |
              "61 26 62 3C 63 3E 64 22 65 27 66 7C 7C 1F600 7C FFFD 28 7C FFFD FFFD FFFD 7C\n"
              // lone high and low surrogates -> FFFD, pair kept, U+FFFF dropped, tab kept
              "67 FFFD 7C 68 FFFD 7C 1F600 7C 7C 9\n");
}

TEST_F(XMLFileWriterTest, SanitizedTextIsTheWrittenForm) {
    EXPECT_EQ(XMLFileWriter::sanitizedText(std::string("A\x01\xFF")), "A\xEF\xBF\xBD");
    EXPECT_EQ(XMLFileWriter::sanitizedText(std::u16string(u"\U0001F600\xDC00")),
              "\xF0\x9F\x98\x80\xEF\xBF\xBD");
}

TEST_F(XMLFileWriterTest, MisuseRaisesWithItsReason) {
    struct Case {
        const char* reason;
        std::function<void(XMLFileWriter&)> misuse;
    };
    const std::vector<Case> cases = {
        {"No open start element",
         [](XMLFileWriter& w) {
             w.writeStartElement("r");
             w.writeCharacters("t");
             w.writeAttribute("a", "b");
         }},
        {"No open start element",
         [](XMLFileWriter& w) {
             w.writeStartElement("r");
             w.writeStartElement("c");
             w.writeEndElement();
             w.writeAttribute("a", "b");
         }},
        {"Cannot write more end elements than start elements.",
         [](XMLFileWriter& w) { w.writeEndElement("r"); }},
        {"Cannot write more end elements than start elements.",
         [](XMLFileWriter& w) { w.writeEndElement(); }},
        {"Document has already been started",
         [](XMLFileWriter& w) { w.writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0"); }},
        {"Name namespace urn:a has already been set",
         [](XMLFileWriter& w) {
             w.setPrefix(std::string("a"), std::string("urn:a"));
             w.setPrefix(std::string("b"), std::string("urn:a"));
         }},
        {"Prefix a has already been set",
         [](XMLFileWriter& w) {
             w.setPrefix(std::string("a"), std::string("urn:a"));
             w.setPrefix(std::string("a"), std::string("urn:b"));
         }},
        {"Default namespace has already been set",
         [](XMLFileWriter& w) {
             w.setPrefix(std::string(""), std::string("urn:a"));
             w.setPrefix(std::string(""), std::string("urn:b"));
         }},
        {"Namespace cannot be NULL",
         [](XMLFileWriter& w) { w.setPrefix(std::string("a"), std::nullopt); }},
        {"Prefix cannot be NULL",
         [](XMLFileWriter& w) { w.setPrefix(std::nullopt, std::string("urn:a")); }},
        {"Unknown namespace URI urn:nope",
         [](XMLFileWriter& w) { w.writeStartElementWithNamespace("urn:nope", "x"); }},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        auto w = XMLFileWriter::initWithPath(path("misuse" + std::to_string(i) + ".xml"));
        ASSERT_TRUE(w);
        w->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
        try {
            cases[i].misuse(*w);
            ADD_FAILURE() << "case " << i << " raised nothing";
        } catch (const XMLWriterException& e) {
            EXPECT_EQ(e.reason(), cases[i].reason) << "case " << i;
        }
    }
}

TEST_F(XMLFileWriterTest, NoWriterWithoutAFolderAndLoudWriteFailures) {
    const std::string missing = path("no/such/folder/part.xml");
    EXPECT_FALSE(XMLFileWriter::initWithPath(missing));
    EXPECT_FALSE(platform::pathExists(missing));

    // /dev/full accepts the open and fails every write.
    auto w = XMLFileWriter::initWithPath("/dev/full");
    ASSERT_TRUE(w);
    w->writeStartDocumentWithEncodingAndVersion("UTF-8", "1.0", "yes");
    w->writeStartElement("r");
    EXPECT_THROW(w->writeEndDocument(), XMLWriterException);
}

TEST_F(XMLFileWriterTest, LargePartsStreamWhole) {
    constexpr int kRows = 20000;
    std::string out = written([](XMLFileWriter& w) {
        w.writeStartElement("sheetData");
        for (int i = 0; i < kRows; ++i) {
            w.writeStartElement("row");
            w.writeAttribute("r", std::to_string(i + 1));
            w.writeCharacters(u"\u00e9t\u00e9 & hiver");
            w.writeEndElement("row");
        }
    });
    EXPECT_GT(out.size(), 64u * 1024u * 4u);
    EXPECT_NE(out.find("<row r=\"20000\">\xC3\xA9t\xC3\xA9 &amp; hiver</row>\n</sheetData>"),
              std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 12), "</sheetData>");
}

} // namespace
