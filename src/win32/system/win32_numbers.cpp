// The core names the window messages, notification codes, control styles and completion
// notices by their Win32 numbers so that it builds without <windows.h>. Here the compiler
// holds each of them against the system headers; the file has no code.
#include <windows.h>

#include <commctrl.h>
#include <mmsystem.h>

#include <cstddef>

#include "platform/media_device.h"
#include "player/control_table.h"
#include "player/messages.h"

namespace tav {
namespace {

static_assert(WM_CREATE_ == WM_CREATE);
static_assert(WM_DESTROY_ == WM_DESTROY);
static_assert(WM_SIZE_ == WM_SIZE);
static_assert(WM_CLOSE_ == WM_CLOSE);
static_assert(WM_QUERYENDSESSION_ == WM_QUERYENDSESSION);
static_assert(WM_ENDSESSION_ == WM_ENDSESSION);
static_assert(WM_NOTIFY_ == WM_NOTIFY);
static_assert(WM_COMMAND_ == WM_COMMAND);
static_assert(WM_TIMER_ == WM_TIMER);
static_assert(WM_HSCROLL_ == WM_HSCROLL);
static_assert(MM_MCINOTIFY_ == MM_MCINOTIFY);

static_assert(BN_CLICKED_ == BN_CLICKED);
static_assert(LBN_SELCHANGE_ == LBN_SELCHANGE);
static_assert(LBN_DBLCLK_ == LBN_DBLCLK);
static_assert(CBN_SELCHANGE_ == CBN_SELCHANGE);
static_assert(EN_CHANGE_ == EN_CHANGE);
// As the notification header's unsigned code carries them.
static_assert(static_cast<uint32_t>(NM_CUSTOMDRAW_) == NM_CUSTOMDRAW);
static_assert(static_cast<uint32_t>(NM_RELEASEDCAPTURE_) == NM_RELEASEDCAPTURE);
static_assert(TB_LINEUP_ == TB_LINEUP && TB_LINEDOWN_ == TB_LINEDOWN);
static_assert(TB_PAGEUP_ == TB_PAGEUP && TB_PAGEDOWN_ == TB_PAGEDOWN);
static_assert(TB_THUMBPOSITION_ == TB_THUMBPOSITION && TB_THUMBTRACK_ == TB_THUMBTRACK);
static_assert(TB_TOP_ == TB_TOP && TB_BOTTOM_ == TB_BOTTOM && TB_ENDTRACK_ == TB_ENDTRACK);

// WM_NOTIFY's second parameter is passed on as it is.
static_assert(sizeof(NotifyHeader) == sizeof(NMHDR));
static_assert(offsetof(NotifyHeader, hwndFrom) == offsetof(NMHDR, hwndFrom));
static_assert(offsetof(NotifyHeader, idFrom) == offsetof(NMHDR, idFrom));
static_assert(offsetof(NotifyHeader, code) == offsetof(NMHDR, code));

static_assert(style::Child == WS_CHILD);
static_assert(style::Visible == WS_VISIBLE);
static_assert(style::VScroll == WS_VSCROLL);
static_assert(style::ListSort == LBS_SORT);
static_assert(style::ListNotify == LBS_NOTIFY);
static_assert(style::EditCenter == ES_CENTER);
static_assert(style::EditMultiline == ES_MULTILINE);
static_assert(style::EditAutoVScroll == ES_AUTOVSCROLL);
static_assert(style::EditAutoHScroll == ES_AUTOHSCROLL);
static_assert(style::EditReadOnly == ES_READONLY);
static_assert(style::ComboDropDownList == CBS_DROPDOWNLIST);
static_assert(style::StaticCenter == SS_CENTER);
static_assert(style::StaticRight == SS_RIGHT);
static_assert(style::TrackbarBoth == TBS_BOTH);
static_assert(style::TrackbarNoTicks == TBS_NOTICKS);
static_assert(style::ExClientEdge == WS_EX_CLIENTEDGE);

static_assert(NotifySuccessful == MCI_NOTIFY_SUCCESSFUL);
static_assert(NotifySuperseded == MCI_NOTIFY_SUPERSEDED);
static_assert(NotifyAborted == MCI_NOTIFY_ABORTED);
static_assert(NotifyFailure == MCI_NOTIFY_FAILURE);
static_assert(static_cast<DWORD>(StatusItem::Length) == MCI_STATUS_LENGTH);
static_assert(static_cast<DWORD>(StatusItem::Position) == MCI_STATUS_POSITION);

}  // namespace
}  // namespace tav
