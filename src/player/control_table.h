#pragma once

#include <array>
#include <cstdint>

#include "platform/geometry.h"

namespace tav {

enum ControlId : int {
    TrackList = 1000,
    FolderEdit = 1001,
    PlayButton = 1002,
    StopButton = 1003,
    RandomPlayButton = 1004,
    UnitCombo = 1005,
    ExclusionSuffixLabel = 1006,
    ExclusionEdit = 1007,
    ExclusionPrefixLabel = 1008,
    UnitLabel = 1009,
    VolumeBar = 1010,
    PositionBar = 1011,
    VolumeLabel = 1012,
    PositionLabel = 1013,
    PrevButton = 1014,
    NextButton = 1015,
    FolderButton = 1016,
    TargetLabel = 1017,
    TargetButton = 1018,
    InfoTitle = 1019,
    InfoArtist = 1020,
    InfoAlbum = 1021,
    InfoComment = 1022,
    StatusBarId = 70,
};

constexpr int kFirstControlId = TrackList;
constexpr int kControlCount = 23;
constexpr int kDisplayTimerId = 1000;
constexpr int kDisplayTimerPeriodMs = 100;
// The main window's outer size at creation, the size the creation rectangles are made for.
constexpr int kMainWindowWidth = 800;
constexpr int kMainWindowHeight = 636;

// Window and control styles the front ends map onto their widgets.
namespace style {
constexpr uint32_t Child = 0x40000000;
constexpr uint32_t Visible = 0x10000000;
constexpr uint32_t TabStop = 0x00010000;
constexpr uint32_t VScroll = 0x00200000;
constexpr uint32_t ListSort = 0x0002;
constexpr uint32_t ListNotify = 0x0001;
constexpr uint32_t EditCenter = 0x0001;
constexpr uint32_t EditMultiline = 0x0004;
constexpr uint32_t EditAutoVScroll = 0x0040;
constexpr uint32_t EditAutoHScroll = 0x0080;
constexpr uint32_t EditReadOnly = 0x0800;
constexpr uint32_t ComboDropDownList = 0x0003;
constexpr uint32_t StaticCenter = 0x0001;
constexpr uint32_t StaticRight = 0x0002;
constexpr uint32_t TrackbarBoth = 0x0008;
constexpr uint32_t TrackbarNoTicks = 0x0010;
constexpr uint32_t ExClientEdge = 0x0200;
}  // namespace style

enum class ControlClass { ListBox, Edit, Button, ComboBox, Static, Trackbar };

struct ControlSpec {
    int id;
    const char* role;
    ControlClass kind;
    const char* className;  // the Win32 window class
    const char* text;       // in the system encoding
    Rect rect;              // creation rectangle, client pixels
    uint32_t style;
    uint32_t exStyle;
};

// The 23 child controls of the main window, in creation (id) order.
const std::array<ControlSpec, kControlCount>& ControlTable();

// The labels that name the control beside them, as screen readers read them.
struct LabelledControl {
    int label;
    int control;
};
const std::array<LabelledControl, 4>& LabelledControls();

// Every control in the order the eye reads the window: the top rows left to right, the info
// lines, the folder row, the option row, then the list; each label just before what it
// names. Tab moves through the tab stops in this order, and screen readers read it.
const std::array<int, kControlCount>& ReadingOrder();

}  // namespace tav
