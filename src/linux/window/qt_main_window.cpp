#include "linux/window/qt_main_window.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "app/routing.h"
#include "linux/desktop/qt_icon.h"
#include "linux/window/qt_accessible_names.h"
#include "linux/window/qt_controls.h"
#include "linux/window/qt_fixed_texts.h"
#include "linux/window/qt_text.h"
#include "linux/window/qt_trackbar.h"

namespace tav {
namespace {

constexpr const char* kCreationTitle = "Tavrello";
constexpr QSize kCreationOuterSize(kMainWindowWidth, kMainWindowHeight);
// The frame of a sizable window on Windows 10: 8 pixels at the sides and the bottom, 31 with
// the caption at the top. It stands in wherever no real frame is known.
constexpr QMargins kTypicalFrame(8, 31, 8, 8);
constexpr int kTimePart = 1;  // the status bar's part with the position and the length

// Handles are the control ids themselves: WM_HSCROLL and WM_NOTIFY carry the id where Win32
// carries a window handle.
intptr_t HandleOf(int id) {
    return static_cast<intptr_t>(id);
}

// How far a screen area is from a rectangle: 0 where they meet, else the gaps on both axes.
int64_t Gap(const Edges& area, const Edges& outer) {
    const int64_t dx =
        std::max<int64_t>({0, int64_t{area.left} - outer.right, int64_t{outer.left} - area.right});
    const int64_t dy =
        std::max<int64_t>({0, int64_t{area.top} - outer.bottom, int64_t{outer.top} - area.bottom});
    return dx + dy;
}

int64_t Overlap(const Edges& area, const Edges& outer) {
    const int64_t width =
        std::min(area.right, outer.right) - int64_t{std::max(area.left, outer.left)};
    const int64_t height =
        std::min(area.bottom, outer.bottom) - int64_t{std::max(area.top, outer.top)};
    return width > 0 && height > 0 ? width * height : 0;
}

}  // namespace

QtMainWindow::QtMainWindow(QtTrackList& trackList) : trackList_(trackList) {
    setWindowTitle(kCreationTitle);
    setWindowIcon(AppIcon());
    MakeAccessibleFrame(*this);
    requestedOuter_ = QRect(QPoint(), kCreationOuterSize);
    ApplyRequestedOuter(kTypicalFrame);
}

QtMainWindow::~QtMainWindow() = default;

void QtMainWindow::Open() {
    Route({WM_CREATE_, 0, 0});
    SendClientSize();
    show();
    AdoptFrame();
}

void QtMainWindow::Route(const Message& message) {
    if (player_ != nullptr) {
        RouteMessage(*player_, message);
    }
}

void QtMainWindow::Post(const Message& message) {
    QMetaObject::invokeMethod(
        this, [this, message] { Route(message); }, Qt::QueuedConnection);
}

void QtMainWindow::CreateControls() {
    for (const ControlSpec& row : ControlTable()) {
        QWidget* widget = MakeControl(row, *this);
        widget->setAccessibleName(AccessibleName(row));
        controls_[static_cast<std::size_t>(row.id - kFirstControlId)] = widget;
        Connect(row, *widget);
    }
    // A label's buddy is the control it names: the screen reader's "labelled by".
    for (const LabelledControl& pair : LabelledControls()) {
        ControlAs<QLabel>(pair.label)->setBuddy(Control(pair.control));
    }
    ArrangeInReadingOrder([this](int id) { return Control(id); });
}

// Turns each control's user actions into the notifications its Win32 counterpart sends.
void QtMainWindow::Connect(const ControlSpec& row, QWidget& widget) {
    const int id = row.id;
    switch (row.kind) {
    case ControlClass::ListBox:
        trackList_.AttachView(static_cast<QListView&>(widget));
        connect(&trackList_, &QtTrackList::userSelectionChanged, this,
                [this, id] { SendCommand(id, LBN_SELCHANGE_); });
        connect(&trackList_, &QtTrackList::userDoubleClicked, this,
                [this, id] { SendCommand(id, LBN_DBLCLK_); });
        break;
    case ControlClass::Button:
        connect(static_cast<QPushButton*>(&widget), &QPushButton::clicked, this,
                [this, id] { SendCommand(id, BN_CLICKED_); });
        break;
    case ControlClass::ComboBox:
        connect(static_cast<QComboBox*>(&widget), &QComboBox::activated, this,
                [this, id] { SendCommand(id, CBN_SELCHANGE_); });
        break;
    case ControlClass::Edit:
        // Typing reports here; texts the program sets report in SetControlText.
        if (auto* edit = qobject_cast<QLineEdit*>(&widget)) {
            connect(edit, &QLineEdit::textEdited, this,
                    [this, id] { SendCommand(id, EN_CHANGE_); });
        }
        break;
    case ControlClass::Trackbar:
        if (id == VolumeBar) {
            SpeakPercentage(static_cast<QtTrackbar&>(widget));
        }
        static_cast<QtTrackbar&>(widget).SetHandlers(
            [this, id](uint16_t code, uint16_t thumb) {
                Route({WM_HSCROLL_, MakeParam(code, thumb), HandleOf(id)});
            },
            [this, id](int32_t code) { SendNotify(id, code); });
        break;
    case ControlClass::Static:
        break;
    }
}

void QtMainWindow::SendCommand(int id, uint16_t code) {
    Route({WM_COMMAND_, MakeParam(static_cast<uint16_t>(id), code), 0});
}

void QtMainWindow::SendNotify(int id, int32_t code) {
    NotifyHeader header;
    header.hwndFrom = reinterpret_cast<void*>(HandleOf(id));
    header.idFrom = static_cast<uintptr_t>(id);
    header.code = static_cast<uint32_t>(code);
    Route({WM_NOTIFY_, static_cast<uintptr_t>(id), reinterpret_cast<intptr_t>(&header)});
}

// WM_SIZE goes out whenever the client size differs from the one last reported, as Windows
// sends it only when the client area changes.
void QtMainWindow::SendClientSize() {
    if (size() == routedSize_) {
        return;
    }
    routedSize_ = size();
    const auto width = static_cast<uint16_t>(routedSize_.width());
    const auto height = static_cast<uint16_t>(routedSize_.height());
    Route({WM_SIZE_, 0, static_cast<intptr_t>(MakeParam(width, height))});
}

void QtMainWindow::Destroy() {
    if (destroyed_) {
        return;
    }
    destroyed_ = true;
    Route({WM_DESTROY_, 0, 0});  // the controls still exist here: the settings read them
    timers_.clear();             // a destroyed window gets no more ticks
    hide();
}

void QtMainWindow::ReleaseResourcesAndQuit(int exitCode) {
    QCoreApplication::exit(exitCode);
}

QWidget* QtMainWindow::Control(int id) const {
    if (id < kFirstControlId || id >= kFirstControlId + kControlCount) {
        return nullptr;
    }
    return controls_[static_cast<std::size_t>(id - kFirstControlId)];
}

template <typename Widget>
Widget* QtMainWindow::ControlAs(int id) const {
    return dynamic_cast<Widget*>(Control(id));
}

std::string QtMainWindow::ControlText(int id) const {
    const QWidget* widget = Control(id);
    return widget == nullptr ? std::string() : ControlWidgetText(*widget);
}

void QtMainWindow::SetControlText(int id, const std::string& text) {
    QWidget* widget = Control(id);
    if (widget == nullptr) {
        return;
    }
    SetControlWidgetText(*widget, text);
    // A single-line edit reports every text set, changed or not, as WM_SETTEXT does.
    if (qobject_cast<QLineEdit*>(widget) != nullptr) {
        SendCommand(id, EN_CHANGE_);
    }
}

void QtMainWindow::EnableControl(int id, bool enabled) {
    if (QWidget* widget = Control(id)) {
        widget->setEnabled(enabled);
    }
}

bool QtMainWindow::IsControlEnabled(int id) const {
    const QWidget* widget = Control(id);
    return widget != nullptr && widget->isEnabled();
}

void QtMainWindow::MoveControl(int id, const Rect& rect) {
    if (QWidget* widget = Control(id)) {
        PlaceControl(*widget, rect);
    }
}

void QtMainWindow::SetTitle(const std::string& text) {
    setWindowTitle(DisplayText(text));
    KeepBytes(*this, text, windowTitle());
}

std::string QtMainWindow::Title() const {
    return KeptBytes(*this, windowTitle());
}

QMargins QtMainWindow::RealFrame() const {
    const QRect outer = frameGeometry();
    const QRect client = geometry();
    return {client.left() - outer.left(), client.top() - outer.top(),
            outer.right() - client.right(), outer.bottom() - client.bottom()};
}

QMargins QtMainWindow::Frame() const {
    const QMargins real = RealFrame();
    return real.isNull() ? kTypicalFrame : real;
}

Edges QtMainWindow::WindowEdges() const {
    const QRect outer = geometry().marginsAdded(Frame());
    return {outer.left(), outer.top(), outer.left() + outer.width(), outer.top() + outer.height()};
}

void QtMainWindow::MoveWindow(const Rect& outer) {
    requestedOuter_ = QRect(outer.x, outer.y, outer.width, outer.height);
    requestedPosition_ = true;
    ApplyRequestedOuter(Frame());
    SendClientSize();  // the layout runs at once, also while the window is still hidden
}

// As MonitorFromRect with MONITOR_DEFAULTTONEAREST: most overlap first, then least gap.
Edges QtMainWindow::AvailableArea(const Edges& outer) const {
    Edges best = outer;  // where no screen is known, the rectangle stands as it is
    std::pair<int64_t, int64_t> bestRank{-1, 0};
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect available = screen->availableGeometry();
        const Edges area{available.left(), available.top(), available.left() + available.width(),
                         available.top() + available.height()};
        const std::pair<int64_t, int64_t> rank{Overlap(area, outer), -Gap(area, outer)};
        if (bestRank.first < 0 || rank > bestRank) {
            best = area;
            bestRank = rank;
        }
    }
    return best;
}

void QtMainWindow::ApplyRequestedOuter(const QMargins& frame) {
    requestedClient_ = requestedOuter_.size().shrunkBy(frame).expandedTo(QSize(1, 1));
    if (requestedPosition_) {
        setGeometry(
            QRect(requestedOuter_.topLeft() + QPoint(frame.left(), frame.top()), requestedClient_));
    } else {
        resize(requestedClient_);
    }
}

// Once the window manager's frame is known, the client area is fitted so that the outer
// rectangle is the one asked for, unless the window was resized meanwhile.
void QtMainWindow::AdoptFrame() {
    if (frameAdopted_ || !isVisible() || RealFrame().isNull()) {
        return;
    }
    frameAdopted_ = true;
    if (size() == requestedClient_) {
        ApplyRequestedOuter(RealFrame());
    }
}

void QtMainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    SendClientSize();
    AdoptFrame();
}

void QtMainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    AdoptFrame();
}

void QtMainWindow::closeEvent(QCloseEvent* event) {
    Route({WM_CLOSE_, 0, 0});
    if (destroyed_) {
        event->accept();
    } else {
        event->ignore();
    }
}

void QtMainWindow::CreateStatusBar() {
    statusBar_ = new QtStatusBar(this);
    statusBar_->Dock(width(), height());
    statusBar_->show();
}

void QtMainWindow::SetStatusParts(const std::array<int, 4>& rightEdges) {
    if (statusBar_ != nullptr) {
        statusBar_->SetParts(rightEdges);
    }
}

void QtMainWindow::SetStatusText(int part, const std::string& text) {
    if (statusBar_ == nullptr) {
        return;
    }
    statusBar_->SetText(part, text);
    if (QWidget* bar = Control(PositionBar); bar != nullptr && part == kTimePart) {
        SetSpokenValue(*bar, statusBar_->Part(part).text());  // the time the bar stands for
    }
}

std::string QtMainWindow::StatusText(int part) const {
    return statusBar_ == nullptr ? std::string() : statusBar_->Text(part);
}

void QtMainWindow::ResizeStatusBar(int width, int height) {
    if (statusBar_ != nullptr) {
        statusBar_->Dock(width, height);
    }
}

void QtMainWindow::AddComboItem(const std::string& text) {
    if (auto* combo = ControlAs<QComboBox>(UnitCombo)) {
        const int kept = combo->currentIndex();
        combo->addItem(FixedText(text));
        combo->setCurrentIndex(kept);  // adding an item selects nothing, as CB_ADDSTRING
    }
}

int QtMainWindow::ComboSelection() const {
    const auto* combo = ControlAs<QComboBox>(UnitCombo);
    return combo == nullptr ? -1 : combo->currentIndex();
}

void QtMainWindow::SetComboSelection(int index) {
    if (auto* combo = ControlAs<QComboBox>(UnitCombo)) {
        combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
    }
}

void QtMainWindow::SetTrackbarRange(int id, int minimum, int maximum, bool /*redraw*/) {
    if (auto* bar = ControlAs<QtTrackbar>(id)) {
        bar->SetTrackRange(minimum, maximum);
    }
}

int QtMainWindow::TrackbarPosition(int id) const {
    const auto* bar = ControlAs<QtTrackbar>(id);
    return bar == nullptr ? 0 : bar->sliderPosition();
}

void QtMainWindow::SetTrackbarPosition(int id, int position, bool /*redraw*/) {
    if (auto* bar = ControlAs<QtTrackbar>(id)) {
        bar->setValue(position);
    }
}

int QtMainWindow::ControlIdFromHandle(intptr_t handle) const {
    if (handle < kFirstControlId || handle >= kFirstControlId + kControlCount) {
        return 0;
    }
    return static_cast<int>(handle);
}

void QtMainWindow::ShowMessage(const std::string& text, const std::string& caption) {
    QMessageBox box(QMessageBox::NoIcon, FixedText(caption), FixedText(text), QMessageBox::Ok,
                    this);
    box.exec();  // its loop goes on delivering posted notices and timer ticks
}

void QtMainWindow::StartTimer(int id, int periodMs) {
    std::unique_ptr<QTimer>& timer = timers_[id];
    if (!timer) {
        timer = std::make_unique<QTimer>();
        connect(timer.get(), &QTimer::timeout, this, [this, id] {
            Route({WM_TIMER_, static_cast<uintptr_t>(id), 0});
        });
    }
    timer->start(periodMs);  // a running timer of the same id starts over, as SetTimer
    DisplayTimerChanged(id);
}

void QtMainWindow::StopTimer(int id) {
    const auto found = timers_.find(id);
    if (found != timers_.end()) {
        found->second->stop();
    }
    DisplayTimerChanged(id);
}

bool QtMainWindow::IsPlaying() const {
    const auto found = timers_.find(kDisplayTimerId);
    return found != timers_.end() && found->second->isActive();
}

void QtMainWindow::DisplayTimerChanged(int id) {
    if (id == kDisplayTimerId && playObserver_) {
        playObserver_();
    }
}

}  // namespace tav
