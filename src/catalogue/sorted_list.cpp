#include "catalogue/sorted_list.h"

#include <algorithm>
#include <iterator>

namespace tav {

// The new position of an entry once the pending entries are merged in: every pending entry
// that sorts strictly before it lands in front of it.
int32_t SortedList::Shifted(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(entries_.size())) {
        return index;
    }
    const auto before = std::lower_bound(pending_.begin(), pending_.end(),
                                         entries_[static_cast<std::size_t>(index)], Less);
    return index + static_cast<int32_t>(before - pending_.begin());
}

bool SortedList::Settle() const {
    if (pending_.empty()) {
        return false;
    }
    std::stable_sort(pending_.begin(), pending_.end(), Less);
    selection_ = Shifted(selection_);
    caret_ = Shifted(caret_);
    std::vector<Entry> merged;
    merged.reserve(entries_.size() + pending_.size());
    std::merge(std::make_move_iterator(entries_.begin()), std::make_move_iterator(entries_.end()),
               std::make_move_iterator(pending_.begin()), std::make_move_iterator(pending_.end()),
               std::back_inserter(merged), Less);
    entries_ = std::move(merged);
    pending_.clear();
    return true;
}

std::vector<std::string> SortedList::Entries() const {
    Settle();
    std::vector<std::string> texts;
    texts.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        texts.push_back(entry.text);
    }
    return texts;
}

int32_t SortedList::Count() const {
    return static_cast<int32_t>(entries_.size() + pending_.size());
}

std::string SortedList::Text(int32_t index) const {
    Settle();
    if (index < 0 || index >= static_cast<int32_t>(entries_.size())) {
        return {};
    }
    return entries_[static_cast<std::size_t>(index)].text;
}

int32_t SortedList::Selection() const {
    if (selection_ >= 0) {
        Settle();
    }
    return selection_;
}

int32_t SortedList::Caret() const {
    Settle();
    return caret_;
}

void SortedList::Select(int32_t index) {
    Settle();
    if (index >= 0 && index < Count()) {
        selection_ = index;
        caret_ = index;
    } else {
        selection_ = -1;
    }
}

void SortedList::Add(const std::string& text) {
    pending_.push_back({text, rules_.MakeSortKey(text)});
}

void SortedList::Reset() {
    entries_.clear();
    pending_.clear();
    selection_ = -1;
    caret_ = 0;
}

}  // namespace tav
