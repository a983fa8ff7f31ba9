#pragma once

#include <QAbstractListModel>
#include <QListView>
#include <QPointer>

#include "catalogue/sorted_list.h"
#include "platform/window.h"

namespace tav {

// The track list for a Qt list view: the core's sorted list, published to the view as a
// model. Adds only queue up; the view learns of them in one model reset on the next turn of
// the event loop (or sooner, when a selection needs the settled order), so a scan of many
// thousand entries costs the view one reset, not one per entry.
//
// The list's selection is the truth; the view mirrors it. Selections the program makes are
// not reported; a selection the user makes is written into the list. As a list box sends
// LBN_SELCHANGE, userSelectionChanged reports every mouse release after a click in the list
// and every navigation key, whether or not the selection changed, and any other change the
// user makes (typing a name). Return, keypad Enter and Space on a selected entry report a
// double-click.
class QtTrackList : public QAbstractListModel, public TrackListBox {
    Q_OBJECT

public:
    explicit QtTrackList(const TextRules& rules, QObject* parent = nullptr);

    int32_t Count() const override { return list_.Count(); }
    std::string Text(int32_t index) const override { return list_.Text(index); }
    int32_t Selection() const override { return list_.Selection(); }
    int32_t Caret() const override { return list_.Caret(); }
    void Select(int32_t index) override;
    void Add(const std::string& text) override;
    void Reset() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    // Shows this list in the view and follows the user's selections and double-clicks there.
    void AttachView(QListView& view);
    // Brings the view up to date with every entry added so far.
    void Publish();

signals:
    void userSelectionChanged();
    void userDoubleClicked();

private:
    // Shows the list's selection (and caret) in the view without reporting it.
    void MirrorSelection(bool scrollIntoView);
    void OnViewSelectionChanged();
    bool eventFilter(QObject* watched, QEvent* event) override;
    // Lets the view handle a navigation key, then reports it; Return, Enter and Space act as
    // a double-click.
    bool HandleNavigationKey(QListView& view, QEvent* event);
    // The attached view, or null once it is gone or being destroyed: its base classes'
    // destructors still send events through the filter when no list view is left.
    QListView* LiveView() const;

    SortedList list_;
    int published_ = 0;  // rows the view knows of
    bool publishQueued_ = false;
    bool mirroring_ = false;  // the program, not the user, is moving the view's selection
    bool clicked_ = false;    // a click in the list awaits its release, which reports it
    bool keyed_ = false;      // a navigation key is being handled, and is reported after
    QPointer<QObject> view_;
};

}  // namespace tav
