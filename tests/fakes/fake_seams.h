#pragma once

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

// Windows code page 932: lead bytes 0x81-0x9F and 0xE0-0xFC, '\' paths under drive letters.
class Cp932Rules : public TextRules {
public:
    PathStyle Style() const override { return {'\\', true, 259, false}; }
    bool IsLeadByte(unsigned char byte) const override {
        return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    }
    int CompareNoCase(std::string_view a, std::string_view b) const override;
};

}  // namespace tav::test
