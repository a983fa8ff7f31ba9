#pragma once

#include <cctype>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/tag_library.h"
#include "platform/text_rules.h"
#include "platform/wave_volume.h"
#include "platform/window.h"
#include "player/messages.h"

namespace tav::test {

// Messages posted for later delivery, as the front ends' event queues hold them.
class FakeEventQueue {
public:
    void Post(const Message& message) { queue.push_back(message); }
    std::deque<Message> queue;
};

class FakeVolume : public WaveVolume {
public:
    std::optional<uint32_t> Read() override { return readValue; }
    void Write(uint32_t packed) override { written.push_back(packed); }
    std::optional<uint32_t> readValue;  // nothing: the read fails
    std::vector<uint32_t> written;
};

class FakeFolderBrowser : public FolderBrowser {
public:
    std::optional<std::string> Browse(const std::string& title,
                                      const std::optional<std::string>& initial) override {
        calls.push_back({title, initial});
        return answer;
    }
    struct Call {
        std::string title;
        std::optional<std::string> initial;
    };
    std::vector<Call> calls;
    std::optional<std::string> answer;  // nothing: the user cancels
};

class FakeClock : public Clock {
public:
    uint32_t TickCount() const override { return ticks; }
    uint32_t ticks = 1;
};

// Answers for one file, as the tag library would give them.
struct CannedTags {
    uint32_t loadResult = 0;
    uint32_t type = 1;
    uint32_t tagType = 0;
    std::vector<std::pair<std::string, std::string>> values;
};

class FakeTagLoader : public TagLibraryLoader {
public:
    std::unique_ptr<TagLibrary> Load() override;
    bool present = false;
    bool allExports = true;
    CannedTags tags;
    int loads = 0;
    int releases = 0;
    std::vector<std::string> loadedPaths;
};

// Answers as the loader's canned tags say; counts its release.
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

inline std::unique_ptr<TagLibrary> FakeTagLoader::Load() {
    if (!present) {
        return nullptr;
    }
    ++loads;
    return std::make_unique<FakeTagLibrary>(*this);
}

// Windows code page 932: lead bytes 0x81-0x9F and 0xE0-0xFC, '\' paths under drive letters.
class Cp932Rules : public TextRules {
public:
    PathStyle Style() const override { return {'\\', true, 259, false}; }
    bool IsLeadByte(unsigned char byte) const override {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }
    int CompareNoCase(std::string_view a, std::string_view b) const override {
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
            const int x = std::tolower(static_cast<unsigned char>(a[i]));
            const int y = std::tolower(static_cast<unsigned char>(b[i]));
            if (x != y) {
                return x < y ? -1 : 1;
            }
        }
        return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
    }
};

}  // namespace tav::test
