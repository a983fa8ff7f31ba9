#include <gtest/gtest.h>

#include <sstream>

#include "app/media_keys.h"
#include "fakes/test_player.h"

namespace tav::test {
namespace {

// Every command while stopped and while playing, against the buttons' ids: 再生 1002,
// 停止 1003, << 1014, >> 1015; 0 for nothing to do.
TEST(MediaKeys, EachCommandClicksItsButton) {
    const struct {
        MediaCommand command;
        int whileStopped;
        int whilePlaying;
    } rows[] = {
        {MediaCommand::Play, 1002, 0},         {MediaCommand::Pause, 0, 1003},
        {MediaCommand::PlayPause, 1002, 1003}, {MediaCommand::Stop, 1003, 1003},
        {MediaCommand::Next, 1015, 1015},      {MediaCommand::Previous, 1014, 1014},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.command));
        EXPECT_EQ(MediaCommandButton(row.command, false).value_or(0), row.whileStopped);
        EXPECT_EQ(MediaCommandButton(row.command, true).value_or(0), row.whilePlaying);
    }
}

// Everything a stray command could change, as one comparable text.
std::string Describe(TestPlayer& t) {
    std::ostringstream text;
    text << t.window.title << '|' << t.list.Selection() << '|' << t.player.options.exclusionText
         << '|' << t.browser.calls.size() << '|' << t.volume.written.size() << '|'
         << t.window.messages.size() << '|' << t.device.opened.size();
    for (const auto& [id, control] : t.window.controls) {
        text << '|' << control.text << control.enabled << control.position;
    }
    for (const auto& [part, status] : t.window.statusTexts) {
        text << '|' << status;
    }
    return text.str();
}

// The routed commands are proven by what they do; here the others: focus changes and
// double-clicks of every control, any notification of the controls that route none, and
// trackbar notifications other than the volume bar's drawing and the position bar's release;
// and messages no handler takes go on to the default procedure.
TEST(Routing, NotificationsWithoutARouteChangeNothing) {
    TestPlayer t;
    t.Create();
    t.list.Add("entry");
    t.window.SetControlText(ExclusionEdit, "Live");
    t.volume.written.clear();
    const std::string before = Describe(t);
    for (int id = TrackList; id <= InfoComment + 1; ++id) {
        for (const uint16_t code : {3, 4, 5, 6, 7, 0x100, 0x200}) {
            EXPECT_EQ(t.Command(id, code), 0);
        }
    }
    for (const int id :
         std::initializer_list<int>{FolderEdit, TargetLabel, UnitLabel, InfoTitle, 4242}) {
        for (const uint16_t code : {uint16_t{0}, uint16_t{1}, uint16_t{2}, EN_CHANGE_}) {
            EXPECT_EQ(t.Command(id, code), 0);
        }
    }
    for (const auto& [id, code] : {std::pair<int, int32_t>{PositionBar, NM_CUSTOMDRAW_},
                                   {VolumeBar, -2},
                                   {VolumeBar, NM_RELEASEDCAPTURE_},
                                   {4242, NM_CUSTOMDRAW_}}) {
        const auto control = static_cast<uintptr_t>(id);
        NotifyHeader header{nullptr, control, static_cast<uint32_t>(code)};
        EXPECT_EQ(t.Send(WM_NOTIFY_, control, reinterpret_cast<intptr_t>(&header)), 0);
    }
    EXPECT_EQ(Describe(t), before);
    for (const uint32_t id : {0x000Fu /* WM_PAINT */, 0x0100u /* WM_KEYDOWN */, 0x0400u}) {
        EXPECT_FALSE(t.Send(id).has_value()) << "for the default procedure: " << id;
    }
}

}  // namespace
}  // namespace tav::test
