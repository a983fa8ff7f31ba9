#include "catalogue/sorted_list.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace tav {

// The new position of an entry once the pending entries are merged in: every pending entry
// that sorts strictly before it lands in front of it.
int32_t SortedList::Shifted(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(entries_.size())) {
        return index;
    }
    const auto before = std::lower_bound(pending_.begin(), pending_.end(),
                                         entries_[static_cast<std::size_t>(index)], Order());
    return index + static_cast<int32_t>(before - pending_.begin());
}

bool SortedList::Settle() const {
    if (pending_.empty()) {
        return false;
    }
    std::sort(pending_.begin(), pending_.end(), Order());
    selection_ = Shifted(selection_);
    caret_ = Shifted(caret_);
    if (entries_.empty()) {
        entries_.swap(pending_);
    } else {
        std::vector<Entry> merged;
        merged.reserve(entries_.size() + pending_.size());
        std::merge(entries_.begin(), entries_.end(), pending_.begin(), pending_.end(),
                   std::back_inserter(merged), Order());
        entries_ = std::move(merged);
    }
    pending_ = std::vector<Entry>();  // the room a scan's adds took is given back
    return true;
}

std::vector<std::string> SortedList::Entries() const {
    Settle();
    std::vector<std::string> texts;
    texts.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        texts.emplace_back(TextOf(entry));
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
    return std::string(TextOf(entries_[static_cast<std::size_t>(index)]));
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
    uint32_t key = 0;
    if (std::unique_ptr<const SortKey> made = rules_.MakeSortKey(text)) {
        keys_.push_back(std::move(made));
        key = static_cast<uint32_t>(keys_.size());
    }
    pending_.push_back({texts_.size(), static_cast<uint32_t>(text.size()), key});
    texts_ += text;
}

void SortedList::Reset() {
    // Gives the memory back: the next list may be far smaller.
    texts_ = std::string();
    keys_ = decltype(keys_)();
    entries_ = std::vector<Entry>();
    pending_ = std::vector<Entry>();
    selection_ = -1;
    caret_ = 0;
}

}  // namespace tav
