#pragma once

#include <QMargins>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>

#include "linux/audio/event_poster.h"
#include "linux/window/qt_status_bar.h"
#include "linux/window/qt_track_list.h"
#include "platform/window.h"
#include "player/control_table.h"
#include "player/messages.h"
#include "player/player.h"

namespace tav {

// The main window on Qt Widgets. What happens to it and its controls is turned into the
// Win32 messages the core routes (see the Linux front end in docs/architecture.md), and the
// core reaches the controls through the Window interface, by control id.
//
// Sizes: the outer rectangle (WindowEdges, MoveWindow) is the client area plus the frame the
// window manager draws. Until a frame is known (before the first show, and always where there
// is none, as on a bare X server) a typical Windows frame stands in for it, so a window made
// 800 x 636 outside gets the client area 784 x 597; once the real frame is known the client
// area is fitted once more, so that the outer size is still the one asked for.
class QtMainWindow : public QWidget, public Window, public EventPoster {
public:
    explicit QtMainWindow(QtTrackList& trackList);
    ~QtMainWindow() override;

    // Every message from now on goes to this player.
    void AttachPlayer(Player& player) { player_ = &player; }
    // Creates the window as CreateWindow would: WM_CREATE, the first WM_SIZE, then shown.
    void Open();
    // Routes one message at once, on the UI thread.
    void Route(const Message& message);
    // A control's notification, as the control itself would send it.
    void SendCommand(int id, uint16_t code);
    void SendNotify(int id, int32_t code);

    // The display timer runs exactly while a file plays: it starts when a file starts and
    // stops when it stops or ends. The observer hears every start and stop.
    bool IsPlaying() const;
    void OnPlayStateChange(std::function<void()> observer) { playObserver_ = std::move(observer); }

    // EventPoster: routed later from the event loop; any thread.
    void Post(const Message& message) override;

    // Window
    void CreateControls() override;
    void Destroy() override;
    void ReleaseResourcesAndQuit(int exitCode) override;
    std::string ControlText(int id) const override;
    void SetControlText(int id, const std::string& text) override;
    void EnableControl(int id, bool enabled) override;
    bool IsControlEnabled(int id) const override;
    void MoveControl(int id, const Rect& rect) override;
    void SetTitle(const std::string& text) override;
    std::string Title() const override;
    Edges WindowEdges() const override;
    void MoveWindow(const Rect& outer) override;
    Edges AvailableArea(const Edges& outer) const override;
    void InvalidateClient() override { update(); }
    void CreateStatusBar() override;
    void SetStatusParts(const std::array<int, 4>& rightEdges) override;
    void SetStatusText(int part, const std::string& text) override;
    std::string StatusText(int part) const override;
    void ResizeStatusBar(int width, int height) override;
    void AddComboItem(const std::string& text) override;
    int ComboSelection() const override;
    void SetComboSelection(int index) override;
    void SetTrackbarRange(int id, int minimum, int maximum, bool redraw) override;
    int TrackbarPosition(int id) const override;
    void SetTrackbarPosition(int id, int position, bool redraw) override;
    int ControlIdFromHandle(intptr_t handle) const override;
    void ShowMessage(const std::string& text, const std::string& caption) override;
    void StartTimer(int id, int periodMs) override;
    void StopTimer(int id) override;

    // The widget of a control, null before CreateControls or for an unknown id.
    QWidget* Control(int id) const;
    QtStatusBar* StatusBar() const { return statusBar_; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Connect(const ControlSpec& row, QWidget& widget);
    void DisplayTimerChanged(int id);
    void SendClientSize();
    QMargins RealFrame() const;  // null while the window manager has drawn none
    QMargins Frame() const;
    void ApplyRequestedOuter(const QMargins& frame);
    void AdoptFrame();
    template <typename Widget>
    Widget* ControlAs(int id) const;

    QtTrackList& trackList_;
    Player* player_ = nullptr;
    std::array<QWidget*, kControlCount> controls_{};
    QtStatusBar* statusBar_ = nullptr;
    std::map<int, std::unique_ptr<QTimer>> timers_;
    std::function<void()> playObserver_;
    QSize routedSize_;  // the client size the last WM_SIZE carried
    // The outer rectangle last asked for and the client size given for it, kept until the
    // window manager's frame is known. Creation leaves the position to the system.
    QRect requestedOuter_;
    bool requestedPosition_ = false;
    QSize requestedClient_;
    bool frameAdopted_ = false;
    bool destroyed_ = false;
};

}  // namespace tav
