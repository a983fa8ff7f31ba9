#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "catalogue/scan.h"
#include "fakes/test_player.h"

namespace tav::test {

// A player on fakes over a fresh folder on disk, with the unit combo filled as at start-up.
class CatalogueTest : public ::testing::Test {
protected:
    explicit CatalogueTest(const TextRules* rules = nullptr)
        : t(rules ? *rules : native_), separator_(t.player.pathStyle().separator) {
        t.window.AddComboItem("フォルダ単位");
        t.window.AddComboItem("ファイル単位");
        t.window.SetComboSelection(0);
    }

    // A path below the folder; '/' in `relative` stands for the system's separator.
    std::string At(const std::string& relative) const {
        std::string path = dir.Path() + relative;
        std::replace(path.begin() + static_cast<std::ptrdiff_t>(dir.Path().size()), path.end(), '/',
                     separator_);
        return path;
    }
    std::string AddFile(const std::string& relative) const {
        return dir.AddFile(At(relative).substr(dir.Path().size()));
    }
    void AddFiles(const std::vector<std::string>& relatives) const {
        for (const std::string& relative : relatives) {
            AddFile(relative);
        }
    }

    // Empties the list and scans at the top level, as the callers of a scan do.
    void ScanRoot(const std::string& path) {
        t.list.Reset();
        ScanCatalogue(t.player, path, 0);
    }
    std::vector<std::string> Entries() const { return t.list.Entries(); }
    // The entries in any order, for comparing with an expectation written in any order.
    std::vector<std::string> SortedEntries() const {
        std::vector<std::string> entries = Entries();
        std::sort(entries.begin(), entries.end());
        return entries;
    }
    std::vector<std::string> Sorted(std::vector<std::string> paths) const {
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    // The pool holds every list position once, in order, as after a rebuild.
    void ExpectPoolFollowsList() const {
        const int32_t count = t.list.Count();
        ASSERT_EQ(t.player.random.poolCount, count);
        ASSERT_EQ(t.player.random.shufflePool.size(), static_cast<std::size_t>(count));
        for (int32_t i = 0; i < count; ++i) {
            EXPECT_EQ(t.player.random.shufflePool[static_cast<std::size_t>(i)], i);
        }
    }

    NativeTextRules native_;
    TestPlayer t;
    TempDir dir;
    char separator_;
};

}  // namespace tav::test
