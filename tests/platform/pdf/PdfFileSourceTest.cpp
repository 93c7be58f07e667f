// The file input qpdf reads PDFs through must answer every call as qpdf's own
// buffer source does on the same bytes, or documents would parse differently.
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"
#include "platform/pdf/PdfFileSource.h"

#include <qpdf/BufferInputSource.hh>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

// Runs the same calls on both sources and compares every answer.
TEST(PdfFileSource, AnswersAsQpdfsBufferSourceDoes) {
    // Lines with CR, LF and CRLF ends and runs of them, across several 64 KiB blocks.
    std::string bytes;
    std::mt19937 rnd(7);
    const char* ends[] = {"\n", "\r", "\r\n", "\r\n\r\n", "\n\n\n"};
    while (bytes.size() < 300000) {
        bytes += std::string(rnd() % 200, char('a' + rnd() % 26));
        bytes += ends[rnd() % 5];
    }
    bytes += "no line end at the close";
    const std::string path = fixtures::makeTestFolder("filesource") + "/doc.pdf";
    ASSERT_TRUE(platform::writeFileAtomically(path, bytes));

    platform::PdfFileSource file(path);
    BufferInputSource buffer("doc", bytes);
    std::vector<char> a(100000), b(100000);
    for (int step = 0; step < 20000; ++step) {
        const int op = static_cast<int>(rnd() % 6);
        if (op == 0) {
            const qpdf_offset_t at = rnd() % (bytes.size() + 50);
            file.seek(at, SEEK_SET);
            buffer.seek(at, SEEK_SET);
        } else if (op == 1) {
            const qpdf_offset_t back = -static_cast<qpdf_offset_t>(rnd() % 1000);
            file.seek(back, SEEK_END);
            buffer.seek(back, SEEK_END);
        } else if (op == 2) {
            // Short reads (tokens), and now and then one past the block size (stream data).
            const size_t n = rnd() % 7 == 0 ? 70000 + rnd() % 30000 : rnd() % 300;
            const size_t got = file.read(a.data(), n);
            ASSERT_EQ(got, buffer.read(b.data(), n)) << step;
            ASSERT_EQ(std::memcmp(a.data(), b.data(), got), 0) << step;
            ASSERT_EQ(file.getLastOffset(), buffer.getLastOffset()) << step;
        } else if (op == 3) {
            ASSERT_EQ(file.findAndSkipNextEOL(), buffer.findAndSkipNextEOL()) << step;
        } else if (op == 4) {
            file.unreadCh('x');
            buffer.unreadCh('x');
        } else {
            ASSERT_EQ(file.readLine(80), buffer.readLine(80)) << step;
        }
        ASSERT_EQ(file.tell(), buffer.tell()) << step;
    }
    file.seek(10, SEEK_SET);
    EXPECT_THROW(file.seek(-11, SEEK_CUR), std::runtime_error);
    EXPECT_THROW(platform::PdfFileSource(path + ".missing"), std::runtime_error);
}

} // namespace
