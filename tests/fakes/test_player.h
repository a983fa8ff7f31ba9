#pragma once

#include <filesystem>
#include <string>

#include "app/routing.h"
#include "catalogue/sorted_list.h"
#include "fakes/fake_seams.h"
#include "fakes/fake_window.h"
#include "fakes/native.h"
#include "fakes/simulated_device.h"
#include "player/player.h"

namespace tav::test {

// A player on fakes, with the platform's real file system underneath.
struct TestPlayer {
    // The rules object is stateless: a shared one avoids handing the constructor a reference
    // to a member not yet built (GCC flags that as a possibly uninitialised use).
    TestPlayer() : TestPlayer(SharedNativeText()) {}
    explicit TestPlayer(const TextRules& rules)
        : list(rules),
          device(files, queue, clock),
          player(Seams{window, list, browser, device, volume, files, tags, rules, clock, 0}) {}

    // Routes a message as the window procedure would.
    std::optional<intptr_t> Send(uint32_t id, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return RouteMessage(player, {id, wParam, lParam});
    }
    std::optional<intptr_t> Command(int controlId, uint16_t code) {
        return Send(WM_COMMAND_, MakeParam(static_cast<uint16_t>(controlId), code));
    }
    // WM_CREATE then the first WM_SIZE of an 800 x 636 window (784 x 597 client).
    void Create() {
        Send(WM_CREATE_);
        Send(WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(784, 597)));
    }
    // Delivers posted notices until none is left, as the event loop would.
    void DeliverPosted() {
        while (!queue.queue.empty()) {
            const Message message = queue.queue.front();
            queue.queue.pop_front();
            RouteMessage(player, message);
        }
    }

    static const TextRules& SharedNativeText() {
        static const NativeTextRules rules;
        return rules;
    }

    NativeTextRules nativeText;
    FakeWindow window;
    SortedList list;
    FakeFolderBrowser browser;
    FakeEventQueue queue;
    NativeFileSystem files;
    FakeClock clock;
    SimulatedDevice device;
    FakeVolume volume;
    FakeTagLoader tags;
    Player player;
};

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    // The folder as the core writes paths: with its trailing separator.
    std::string Path() const;
    // Creates a file (and its folders) below the folder; returns its full path.
    std::string AddFile(const std::string& relative, const std::string& bytes = "x") const;
    std::string AddFolder(const std::string& relative) const;
    const std::filesystem::path& Root() const { return root_; }

private:
    std::filesystem::path root_;
};

}  // namespace tav::test
