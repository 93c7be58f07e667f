// The run's image folder: made on first use, removed with its files when the
// cache ends; entries remember failures too.
#include "platform/image/ImageFileCache.h"
#include "fixtures/PdfBuilder.h"
#include "platform/Files.h"

#include <gtest/gtest.h>

TEST(ImageFileCache, FolderIsMadeOnDemandAndRemovedAtTheEnd) {
    std::string parent = fixtures::makeTestFolder("image-cache");
    std::string folder;
    {
        platform::ImageFileCache cache(parent);
        EXPECT_EQ(cache.find("1 0"), nullptr);
        auto made = cache.folder();
        ASSERT_TRUE(made);
        folder = *made;
        EXPECT_EQ(platform::deletingLastPathComponent(folder), parent);
        EXPECT_EQ(platform::lastPathComponent(folder).rfind("Temp-", 0), 0u);
        EXPECT_EQ(cache.folder(), made);
        ASSERT_TRUE(platform::writeFileAtomically(folder + "/IMG_1.png", "x"));
        cache.store("1 0", folder + "/IMG_1.png");
        cache.store("2 0", std::nullopt);
        ASSERT_NE(cache.find("2 0"), nullptr);
        EXPECT_FALSE(*cache.find("2 0"));
        EXPECT_EQ(*cache.find("1 0"), folder + "/IMG_1.png");
        EXPECT_EQ(cache.storedCount(), 2u);
    }
    EXPECT_FALSE(platform::pathExists(folder));
    EXPECT_TRUE(platform::isDirectory(parent));
    EXPECT_FALSE(platform::ImageFileCache::forDocument(nullptr));
}
