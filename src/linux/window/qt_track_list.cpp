#include "linux/window/qt_track_list.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include "linux/window/qt_text.h"

namespace tav {

QtTrackList::QtTrackList(const TextRules& rules, QObject* parent)
    : QAbstractListModel(parent), list_(rules) {}

void QtTrackList::Select(int32_t index) {
    Publish();
    list_.Select(index);
    MirrorSelection(true);  // LB_SETCURSEL scrolls the entry into view
}

void QtTrackList::Add(const std::string& text) {
    list_.Add(text);
    if (!publishQueued_) {
        publishQueued_ = true;
        QMetaObject::invokeMethod(this, &QtTrackList::Publish, Qt::QueuedConnection);
    }
}

void QtTrackList::Reset() {
    beginResetModel();
    list_.Reset();
    published_ = 0;
    endResetModel();
}

void QtTrackList::Publish() {
    publishQueued_ = false;
    if (list_.Count() == published_) {
        return;
    }
    beginResetModel();
    list_.Settle();
    published_ = list_.Count();
    endResetModel();
    MirrorSelection(false);
}

int QtTrackList::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : published_;
}

QVariant QtTrackList::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= published_) {
        return {};
    }
    // Text() sorts in anything added since the last reset; the rows shown are then already in
    // the order the next reset publishes.
    return DisplayText(list_.Text(index.row()));
}

void QtTrackList::AttachView(QListView& view) {
    view_ = &view;
    view.setModel(this);
    view.setSelectionMode(QAbstractItemView::SingleSelection);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setUniformItemSizes(true);
    view.installEventFilter(this);
    view.viewport()->installEventFilter(this);
    connect(view.selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QtTrackList::OnViewSelectionChanged);
    connect(&view, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex& index) {
        if (index.isValid()) {
            emit userDoubleClicked();
        }
    });
    MirrorSelection(false);
}

QListView* QtTrackList::LiveView() const {
    return qobject_cast<QListView*>(view_.data());
}

void QtTrackList::MirrorSelection(bool scrollIntoView) {
    QListView* view = LiveView();
    if (view == nullptr) {
        return;
    }
    mirroring_ = true;
    QItemSelectionModel& selection = *view->selectionModel();
    const int32_t selected = list_.Selection();
    const int32_t caret = list_.Caret();
    if (selected >= 0 && selected < published_) {
        selection.setCurrentIndex(index(selected), QItemSelectionModel::ClearAndSelect);
        if (scrollIntoView) {
            view->scrollTo(index(selected));
        }
    } else {
        selection.clearSelection();
        if (caret < published_) {
            selection.setCurrentIndex(index(caret), QItemSelectionModel::NoUpdate);
        }
    }
    mirroring_ = false;
}

void QtTrackList::OnViewSelectionChanged() {
    QListView* view = LiveView();
    if (mirroring_ || view == nullptr) {
        return;
    }
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    // A click on rows shown in an order about to be replaced is undone by the publish that is
    // already queued. A click that only clears the selection (a list box never lets the user
    // clear it) leaves the list as it is.
    if (published_ != list_.Count()) {
        return;
    }
    if (rows.isEmpty()) {
        MirrorSelection(false);
        return;
    }
    list_.Select(rows.first().row());
    if (!clicked_ && !keyed_) {
        emit userSelectionChanged();  // the click's release or the key reports it
    }
}

bool QtTrackList::eventFilter(QObject* watched, QEvent* event) {
    QListView* view = LiveView();
    if (view == nullptr) {
        return false;
    }
    if (watched == view && event->type() == QEvent::KeyPress) {
        return HandleNavigationKey(*view, event);
    }
    if (watched != view->viewport()) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        // The second press of a double-click arrives as MouseButtonDblClick: as in a list box,
        // its release reports nothing.
        clicked_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
        break;
    case QEvent::MouseButtonRelease:
        if (clicked_ && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            clicked_ = false;
            if (list_.Count() > 0) {
                emit userSelectionChanged();
            }
        }
        break;
    default:
        break;
    }
    return false;
}

bool QtTrackList::HandleNavigationKey(QListView& view, QEvent* event) {
    const auto* key = static_cast<QKeyEvent*>(event);
    switch (key->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // The keyboard's double-click: the selected entry plays, once for a held key.
        if (list_.Selection() >= 0 && !key->isAutoRepeat()) {
            emit userDoubleClicked();
        }
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        break;
    default:
        return false;
    }
    keyed_ = true;
    static_cast<QObject&>(view).event(event);
    keyed_ = false;
    if (list_.Count() > 0) {
        emit userSelectionChanged();
    }
    return true;
}

}  // namespace tav
