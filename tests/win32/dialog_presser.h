#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace tav::test {

// Answers the next modal dialog of this thread (a message box, the folder browser) from inside
// its own loop: once it shows, records its caption and the texts of its children, then presses
// the button.
class DialogPresser {
public:
    explicit DialogPresser(int button);
    ~DialogPresser();
    DialogPresser(const DialogPresser&) = delete;
    DialogPresser& operator=(const DialogPresser&) = delete;

    bool pressed() const { return pressed_; }
    const std::string& caption() const { return caption_; }
    bool ShowedText(const std::string& text) const;

private:
    static void CALLBACK OnTick(HWND, UINT, UINT_PTR, DWORD);
    void Press(HWND dialog);

    static DialogPresser* active_;
    int button_;
    UINT_PTR timer_ = 0;
    bool pressed_ = false;
    std::string caption_;
    std::vector<std::string> texts_;
};

}  // namespace tav::test
