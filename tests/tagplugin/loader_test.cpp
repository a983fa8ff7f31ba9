#include <gtest/gtest.h>

#include "linux/dl_tag_library.h"

namespace tav::test {
namespace {

std::string Stub(const std::string& omitted) {
    return std::string(TAV_STUB_DIR) + "/tagstub_" + omitted + ".so";
}

TEST(DlTagLibraryLoader, ALibraryMissingAnyExportIsIncomplete) {
    for (const char* omitted : {"LOAD", "TYPE", "TAGTYPE", "VALUE"}) {
        DlTagLibraryLoader loader(Stub(omitted));
        const std::unique_ptr<TagLibrary> library = loader.Load();
        ASSERT_TRUE(library) << omitted;
        EXPECT_FALSE(library->HasAllExports()) << omitted;
    }
}

TEST(DlTagLibraryLoader, ACompleteLibraryAnswersAndNullTextsReadEmpty) {
    DlTagLibraryLoader loader(Stub("NONE"));
    const std::unique_ptr<TagLibrary> library = loader.Load();
    ASSERT_TRUE(library);
    EXPECT_TRUE(library->HasAllExports());
    EXPECT_EQ(library->Load(0, "/any"), 0U);
    EXPECT_EQ(library->GetType(), 2U);
    EXPECT_EQ(library->GetTagType(), 3U);
    EXPECT_EQ(library->GetValue("INAM"), "");
}

TEST(DlTagLibraryLoader, AMissingLibraryLoadsNothing) {
    for (const std::string& path : {Stub("ABSENT"), std::string(TAV_STUB_DIR), std::string()}) {
        DlTagLibraryLoader loader(path);
        EXPECT_FALSE(loader.Load()) << path;
    }
}

}  // namespace
}  // namespace tav::test
