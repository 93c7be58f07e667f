#include "pdf/cmap/QVPDFCMapTokenizer.h"
#include "pdf/cmap/QVPDFMemory.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> tokens(std::string_view text, size_t maxLength = 255) {
    QVPDFCMapTokenizer t(text);
    std::vector<std::string> out;
    std::string tok;
    while (t.getToken(tok, maxLength))
        out.push_back(tok);
    return out;
}

TEST(QVPDFCMapTokenizer, TokenRows) {
    using V = std::vector<std::string>;
    const std::pair<std::string, V> rows[] = {
        {"/WMode 1 def", {"/WMode", "1", "def"}},
        {"<00> <FFFF>", {"<00>", "<FFFF>"}},
        {"<0 0>", {"<00>"}},
        {"% a comment\nbegincmap", {"begincmap"}},
        {"%c1\r%c2\r\nend", {"end"}},
        {"[<0041><0042>]", {"[", "<0041>", "<0042>", "]"}},
        {"(a\\)b) x", {"(a\\)b)", "x"}},
        {"(", {"("}},
        {"(abc", {"(abc"}},
        {"<<", {"<<"}},
        {"<< /Registry (Adobe) >>", {"<</Registry(Adobe)>", ">"}},
        {"name\xC3\xA9more next", {"name\xC3\xA9more", "next"}},
        {"a{b}c", {"a", "{b", "}c"}},
        {"", {}},
        {"   \t\r\n", {}},
        {"abc", {"abc"}},
        {"<0041", {"<0041"}},
    };
    for (const auto& [text, expected] : rows)
        EXPECT_EQ(tokens(text), expected) << text;
}

TEST(QVPDFCMapTokenizer, ZeroBytesAreWhitespaceNotTheEnd) {
    std::string text("a\0b", 3);
    EXPECT_EQ(tokens(text), (std::vector<std::string>{"a", "b"}));
}

TEST(QVPDFCMapTokenizer, LongTokensAreCutAndConsumed) {
    std::string name = "/" + std::string(299, 'n');
    auto got = tokens(name + " next");
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0], name.substr(0, 255));
    EXPECT_EQ(got[1], "next");

    const std::string text = name + " next";
    QVPDFCMapTokenizer t(text);
    char buffer[256];
    int length = -1;
    ASSERT_TRUE(t.getToken(buffer, sizeof buffer, &length));
    EXPECT_EQ(length, 255);
    EXPECT_EQ(std::string(buffer), name.substr(0, 255));
    ASSERT_TRUE(t.getToken(buffer, sizeof buffer, &length));
    EXPECT_STREQ(buffer, "next");
    EXPECT_FALSE(t.getToken(buffer, sizeof buffer, &length));
    EXPECT_EQ(length, 0);
    EXPECT_STREQ(buffer, "");
}

TEST(QVPDFCMapTokenizer, LookAndGetChar) {
    QVPDFCMapTokenizer t("\xFF"
                         "a");
    EXPECT_EQ(t.lookChar(), 0xFF);
    EXPECT_EQ(t.getChar(), 0xFF);
    EXPECT_EQ(t.getChar(), 'a');
    EXPECT_EQ(t.lookChar(), -1);
    EXPECT_EQ(t.getChar(), -1);
}

TEST(QVPDFMemory, AllocationFunctionsThrowInsteadOfEndingTheProcess) {
    EXPECT_EQ(QVPDF_MemAllocN(0, 8), nullptr);
    EXPECT_EQ(QVPDF_MemAlloc(0), nullptr);
    EXPECT_EQ(QVPDF_MemAlloc(-5), nullptr);
    EXPECT_THROW(QVPDF_MemAllocN(-1, 8), QVPDFMemoryError);
    EXPECT_THROW(QVPDF_MemAllocN(4, 0), QVPDFMemoryError);
    EXPECT_THROW(QVPDF_MemAllocN(1 << 30, 4), QVPDFMemoryError);
    try {
        QVPDF_MemAllocN(-1, 8);
    } catch (const QVPDFMemoryError& e) {
        EXPECT_STREQ(e.what(), "Bogus memory allocation size");
    }
    void* p = QVPDF_MemAllocN(16, 4);
    ASSERT_NE(p, nullptr);
    p = QVPDF_MemReallocN(p, 32, 4);
    ASSERT_NE(p, nullptr);
    EXPECT_THROW(QVPDF_MemReallocN(p, -2, 4), QVPDFMemoryError);
    EXPECT_EQ(QVPDF_MemReallocN(p, 0, 4), nullptr); // frees
    QVPDF_MemFree(nullptr);
}

} // namespace
