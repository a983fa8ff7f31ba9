#include <gtest/gtest.h>

#include "app/media_keys.h"

namespace tav::test {
namespace {

// Every command while stopped and while playing, against the buttons' ids: 再生 1002,
// 停止 1003, << 1014, >> 1015; 0 for nothing to do.
TEST(MediaKeys, EachCommandClicksItsButton) {
    struct Row {
        MediaCommand command;
        int whileStopped;
        int whilePlaying;
    };
    const Row rows[] = {
        {MediaCommand::Play, 1002, 0},         {MediaCommand::Pause, 0, 1003},
        {MediaCommand::PlayPause, 1002, 1003}, {MediaCommand::Stop, 1003, 1003},
        {MediaCommand::Next, 1015, 1015},      {MediaCommand::Previous, 1014, 1014},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.command));
        EXPECT_EQ(MediaCommandButton(row.command, false).value_or(0), row.whileStopped);
        EXPECT_EQ(MediaCommandButton(row.command, true).value_or(0), row.whilePlaying);
    }
}

}  // namespace
}  // namespace tav::test
