#include "fakes/fake_seams.h"

#include <algorithm>
#include <cctype>

namespace tav::test {
namespace {

class FakeTagLibrary : public TagLibrary {
public:
    explicit FakeTagLibrary(FakeTagLoader& loader) : loader_(loader) {}
    ~FakeTagLibrary() override { ++loader_.releases; }
    FakeTagLibrary(const FakeTagLibrary&) = delete;
    FakeTagLibrary& operator=(const FakeTagLibrary&) = delete;

    bool HasAllExports() const override { return loader_.allExports; }
    uint32_t Load(intptr_t, const std::string& path) override {
        loader_.loadedPaths.push_back(path);
        return loader_.tags.loadResult;
    }
    uint32_t GetType() override { return loader_.tags.type; }
    uint32_t GetTagType() override { return loader_.tags.tagType; }
    std::string GetValue(const char* name) override {
        for (const auto& [key, value] : loader_.tags.values) {
            if (key == name) {
                return value;
            }
        }
        return {};
    }

private:
    FakeTagLoader& loader_;
};

}  // namespace

std::unique_ptr<TagLibrary> FakeTagLoader::Load() {
    if (!present) {
        return nullptr;
    }
    ++loads;
    return std::make_unique<FakeTagLibrary>(*this);
}

int Cp932Rules::CompareNoCase(std::string_view a, std::string_view b) const {
    const auto fold = [](char c) {
        return static_cast<unsigned char>(std::tolower(static_cast<unsigned char>(c)));
    };
    const auto mismatch = std::mismatch(a.begin(), a.end(), b.begin(), b.end(),
                                        [&](char x, char y) { return fold(x) == fold(y); });
    if (mismatch.first == a.end()) {
        return mismatch.second == b.end() ? 0 : -1;
    }
    if (mismatch.second == b.end()) {
        return 1;
    }
    return fold(*mismatch.first) < fold(*mismatch.second) ? -1 : 1;
}

}  // namespace tav::test
