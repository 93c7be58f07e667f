// Image stream data: generic filters undone (also under inline-image
// abbreviations), the final codec kept with its parameters, and output
// stopped at the limit so a decompression bomb costs no more than the limit.
#include "platform/image/ImageStreamReader.h"
#include "fixtures/PdfBuilder.h"
#include "platform/pdf/PdfDocument.h"

#include <gtest/gtest.h>

using platform::ImageCodec;
using platform::ImageStreamBytes;
using Status = ImageStreamBytes::Status;

namespace {

struct Streams {
    std::unique_ptr<platform::PdfDocument> doc;
    platform::PdfObject xObjects;
};

Streams
makeStreams(const std::vector<std::pair<std::string, std::pair<std::string, std::string>>>& s) {
    fixtures::PdfBuilder b;
    b.setPreserveStreams(true);
    std::string resources = "<< /XObject <<";
    for (const auto& [name, stream] : s)
        resources += " /" + name + " " + b.addStream(stream.first, stream.second);
    resources += " >> >>";
    fixtures::PageSpec page;
    page.resources = resources;
    b.addPage(page);
    Streams out;
    out.doc = platform::PdfDocument::openFromMemory(b.build(), "streams");
    out.xObjects =
        *out.doc->page(1)->dictionary().getDictionary("Resources")->getDictionary("XObject");
    return out;
}

TEST(ImageStreamReader, FiltersAbbreviationsAndCodecs) {
    std::string packed = fixtures::flateEncode("ABCDEF");
    Streams s = makeStreams({
        {"Hex", {"<< /F /AHx >>", "41 42 43>"}},
        {"Chain",
         {"<< /Filter [/AHx /Fl] >>",
          [&] {
              std::string hex;
              for (unsigned char c : packed) {
                  const char* d = "0123456789ABCDEF";
                  hex += d[c >> 4];
                  hex += d[c & 15];
              }
              return hex + ">";
          }()}},
        {"Fax",
         {"<< /Filter [/Fl /CCF] /DecodeParms [null << /K -1 /Columns 8 >>] >>",
          fixtures::flateEncode("fax bits")}},
        {"Jbig", {"<< /Filter /JBIG2Decode /DecodeParms << /JBIG2Globals 5 >> >>", "jb2"}},
        {"Odd", {"<< /Filter /NoSuchDecode >>", "x"}},
        {"CodecFirst", {"<< /Filter [/DCTDecode /FlateDecode] >>", "x"}},
    });
    auto hex = platform::readImageStream(s.xObjects.get("Hex"), 100, 100);
    EXPECT_EQ(hex.status, Status::Ok);
    EXPECT_EQ(hex.bytes, "ABC");
    auto chain = platform::readImageStream(s.xObjects.get("Chain"), 100, 100);
    EXPECT_EQ(chain.status, Status::Ok);
    EXPECT_EQ(chain.bytes, "ABCDEF");
    auto fax = platform::readImageStream(s.xObjects.get("Fax"), 100, 100);
    EXPECT_EQ(fax.status, Status::Ok);
    EXPECT_EQ(fax.codec, ImageCodec::CCITTFax);
    EXPECT_EQ(fax.bytes, "fax bits");
    EXPECT_EQ(fax.codecParameters.getInteger("K"), -1);
    auto jbig = platform::readImageStream(s.xObjects.get("Jbig"), 100, 100);
    EXPECT_EQ(jbig.codec, ImageCodec::JBIG2);
    EXPECT_EQ(jbig.bytes, "jb2");
    EXPECT_TRUE(jbig.codecParameters.hasKey("JBIG2Globals"));
    EXPECT_EQ(platform::readImageStream(s.xObjects.get("Odd"), 100, 100).status,
              Status::Unsupported);
    EXPECT_EQ(platform::readImageStream(s.xObjects.get("CodecFirst"), 100, 100).status,
              Status::Unsupported);
    EXPECT_FALSE(platform::readStreamData(s.xObjects.get("Fax"), 100));
}

TEST(ImageStreamReader, ADecompressionBombStopsAtTheLimit) {
    // 32 MiB of zeros in about 32 KiB.
    std::string bomb = fixtures::flateEncode(std::string(size_t(32) << 20, '\0'));
    Streams s = makeStreams({{"Bomb", {"<< /Filter /FlateDecode >>", bomb}}});
    auto read = platform::readImageStream(s.xObjects.get("Bomb"), 1000, 1000);
    EXPECT_EQ(read.status, Status::TooLarge);
    EXPECT_EQ(read.bytes.size(), 1000u);
    EXPECT_FALSE(platform::readStreamData(s.xObjects.get("Bomb"), 4096));
}

TEST(ImageStreamReader, CodecBytesAreCopiedWholeOrStopAtTheLimit) {
    // Bytes a codec reads (passed through unchanged) come straight from the
    // file: whole when within the limit, cut at the limit otherwise.
    std::string jpeg;
    for (int i = 0; i < 70000; ++i)
        jpeg += char('a' + (i * 7 + i / 13) % 26);
    Streams s = makeStreams({{"Jpeg", {"<< /Filter /DCTDecode >>", jpeg}},
                             {"Plain", {"", jpeg.substr(0, 5000)}},
                             {"Empty", {"<< /Filter /DCTDecode >>", ""}}});
    struct Case {
        const char* name;
        uint64_t limit;
        Status status;
        std::string bytes;
    };
    const Case cases[] = {
        {"Jpeg", 1u << 20, Status::Ok, jpeg},
        {"Jpeg", jpeg.size(), Status::Ok, jpeg},
        {"Jpeg", jpeg.size() - 1, Status::TooLarge, jpeg.substr(0, jpeg.size() - 1)},
        {"Jpeg", 100, Status::TooLarge, jpeg.substr(0, 100)},
        {"Plain", 5000, Status::Ok, jpeg.substr(0, 5000)},
        {"Plain", 4999, Status::TooLarge, jpeg.substr(0, 4999)},
        {"Empty", 100, Status::Ok, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " limit " + std::to_string(c.limit));
        // The limit for a codec's bytes is the second one, for plain samples the first.
        auto read = platform::readImageStream(s.xObjects.get(c.name), c.limit, c.limit);
        EXPECT_EQ(read.status, c.status);
        EXPECT_EQ(read.bytes, c.bytes);
    }
}

} // namespace
