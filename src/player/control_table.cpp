#include "player/control_table.h"

namespace tav {
namespace {

constexpr uint32_t kBase = style::Child | style::Visible;
// Every control but the labels takes part in Tab focus.
constexpr uint32_t kStop = kBase | style::TabStop;
constexpr uint32_t kInfoStyle =
    kStop | style::EditMultiline | style::EditAutoVScroll | style::EditReadOnly;
constexpr uint32_t kTrackbarStyle = kStop | style::TrackbarBoth | style::TrackbarNoTicks;

using enum ControlClass;

constexpr std::array<ControlSpec, kControlCount> kTable{{
    {TrackList,
     "TrackList",
     ListBox,
     "LISTBOX",
     "",
     {0, 224, 792, 365},
     kStop | style::VScroll | style::ListSort | style::ListNotify,
     style::ExClientEdge},
    {FolderEdit,
     "FolderEdit",
     Edit,
     "EDIT",
     "",
     {0, 176, 707, 20},
     kStop | style::EditAutoHScroll,
     style::ExClientEdge},
    {PlayButton, "PlayButton", Button, "BUTTON", "再生", {84, 0, 60, 20}, kStop, 0},
    {StopButton, "StopButton", Button, "BUTTON", "停止", {145, 0, 60, 20}, kStop, 0},
    {RandomPlayButton,
     "RandomPlayButton",
     Button,
     "BUTTON",
     "ランダム再生",
     {1, 0, 80, 44},
     kStop,
     0},
    {UnitCombo,
     "UnitCombo",
     ComboBox,
     "COMBOBOX",
     "",
     {417, 200, 100, 100},
     kStop | style::VScroll | style::ComboDropDownList,
     0},
    {ExclusionSuffixLabel,
     "ExclusionSuffixLabel",
     Static,
     "STATIC",
     "を含むフォルダ）",
     {616, 204, 84, 12},
     kBase,
     0},
    {ExclusionEdit,
     "ExclusionEdit",
     Edit,
     "EDIT",
     "",
     {571, 200, 40, 20},
     kStop | style::EditCenter,
     style::ExClientEdge},
    {ExclusionPrefixLabel,
     "ExclusionPrefixLabel",
     Static,
     "STATIC",
     "（例外：",
     {522, 204, 36, 12},
     kBase | style::StaticRight,
     0},
    {UnitLabel,
     "UnitLabel",
     Static,
     "STATIC",
     "１曲 = ",
     {377, 204, 40, 12},
     kBase | style::StaticRight,
     0},
    {VolumeBar,
     "VolumeBar",
     Trackbar,
     "msctls_trackbar32",
     "",
     {284, 0, 508, 20},
     kTrackbarStyle,
     0},
    {PositionBar,
     "PositionBar",
     Trackbar,
     "msctls_trackbar32",
     "",
     {284, 24, 508, 20},
     kTrackbarStyle,
     0},
    {VolumeLabel,
     "VolumeLabel",
     Static,
     "STATIC",
     "音量：",
     {204, 4, 80, 12},
     kBase | style::StaticRight,
     0},
    {PositionLabel,
     "PositionLabel",
     Static,
     "STATIC",
     "再生位置：",
     {204, 28, 80, 12},
     kBase | style::StaticRight,
     0},
    {PrevButton, "PrevButton", Button, "BUTTON", "<<", {84, 24, 60, 20}, kStop, 0},
    {NextButton, "NextButton", Button, "BUTTON", ">>", {144, 24, 60, 20}, kStop, 0},
    {FolderButton, "FolderButton", Button, "BUTTON", "フォルダ選択", {712, 176, 80, 44}, kStop, 0},
    {TargetLabel,
     "TargetLabel",
     Static,
     "STATIC",
     "MP3+WAV",
     {0, 202, 60, 16},
     kBase | style::StaticCenter,
     style::ExClientEdge},
    {TargetButton, "TargetButton", Button, "BUTTON", "演奏対象", {64, 200, 60, 20}, kStop, 0},
    {InfoTitle, "InfoEdit1", Edit, "EDIT", "", {0, 51, 792, 30}, kInfoStyle, style::ExClientEdge},
    {InfoArtist, "InfoEdit2", Edit, "EDIT", "", {0, 81, 792, 30}, kInfoStyle, style::ExClientEdge},
    {InfoAlbum, "InfoEdit3", Edit, "EDIT", "", {0, 110, 792, 30}, kInfoStyle, style::ExClientEdge},
    {InfoComment,
     "InfoEdit4",
     Edit,
     "EDIT",
     "",
     {0, 141, 792, 30},
     kInfoStyle,
     style::ExClientEdge},
}};

}  // namespace

const std::array<ControlSpec, kControlCount>& ControlTable() {
    return kTable;
}

const std::array<LabelledControl, 4>& LabelledControls() {
    static constexpr std::array<LabelledControl, 4> kLabelled{{
        {UnitLabel, UnitCombo},
        {ExclusionPrefixLabel, ExclusionEdit},
        {VolumeLabel, VolumeBar},
        {PositionLabel, PositionBar},
    }};
    return kLabelled;
}

const std::array<int, kControlCount>& ReadingOrder() {
    static constexpr std::array<int, kControlCount> kOrder{
        RandomPlayButton, PlayButton,
        StopButton,       VolumeLabel,
        VolumeBar,        PrevButton,
        NextButton,       PositionLabel,
        PositionBar,      InfoTitle,
        InfoArtist,       InfoAlbum,
        InfoComment,      FolderEdit,
        FolderButton,     TargetLabel,
        TargetButton,     UnitLabel,
        UnitCombo,        ExclusionPrefixLabel,
        ExclusionEdit,    ExclusionSuffixLabel,
        TrackList,
    };
    return kOrder;
}

}  // namespace tav
