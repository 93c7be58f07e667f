#include "platform/PropertyList.h"
#include "platform/Files.h"

#include "fixtures/PdfBuilder.h"

#include <gtest/gtest.h>

namespace {

using Type = platform::PropertyListValue::Type;

std::optional<platform::PropertyListValue> read(const std::string& name, const std::string& xml) {
    const std::string path = fixtures::makeTestFolder("plist") + "/" + name;
    EXPECT_TRUE(platform::writeFileAtomically(path, xml));
    return platform::readPropertyList(path);
}

TEST(PropertyListTest, NestedValues) {
    auto v = read("ok.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<!DOCTYPE plist PUBLIC "-//Apple//DTD PLIST 1.0//EN" "http://www.apple.com/DTDs/PropertyList-1.0.dtd">
<plist version="1.0"><dict>
  <key>Name</key><string>Caf&#233; &amp; Co</string>
  <key>Blank</key><string> </string>
  <key>Faces</key><array><dict><key>Size</key><integer>-12</integer></dict><real>2.5</real><true/></array>
</dict></plist>)");
    ASSERT_TRUE(v);
    EXPECT_EQ(v->type, Type::Dictionary);
    EXPECT_EQ(v->stringForKey("Name"), "Caf\xC3\xA9 & Co");
    EXPECT_EQ(v->stringForKey("Blank"), " ");
    EXPECT_FALSE(v->stringForKey("Faces"));
    EXPECT_FALSE(v->stringForKey("Missing"));
    const auto* faces = v->find("Faces");
    ASSERT_TRUE(faces && faces->type == Type::Array && faces->values.size() == 3);
    EXPECT_EQ(faces->values[0].find("Size")->integer, -12);
    EXPECT_EQ(faces->values[1].real, 2.5);
    EXPECT_TRUE(faces->values[2].boolean);
}

TEST(PropertyListTest, DamagedListsGiveNothing) {
    std::string deep = "<plist>";
    for (int i = 0; i < 200; ++i)
        deep += "<array>";
    for (int i = 0; i < 200; ++i)
        deep += "</array>";
    deep += "</plist>";
    const std::pair<const char*, std::string> cases[] = {
        {"truncated", "<plist><dict><key>a</key><string>b</string>"},
        {"not a plist", "<dict><key>a</key><string>b</string></dict>"},
        {"key without value", "<plist><dict><key>a</key></dict></plist>"},
        {"bad integer", "<plist><integer>1x</integer></plist>"},
        {"unknown element", "<plist><set/></plist>"},
        {"too deep", deep},
    };
    for (const auto& [name, xml] : cases)
        EXPECT_FALSE(read(std::string(name) + ".plist", xml)) << name;
    EXPECT_FALSE(platform::readPropertyList("/nonexistent/corvala.plist"));
}

} // namespace
