#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text_rules.h"
#include "platform/window.h"

namespace tav {

// A sorted list box as LBS_SORT keeps one: ascending case-insensitive order whatever order the
// entries arrive in, an entry equal to others going after them, and a selection (and caret)
// that stays on its entry when entries are added before it. Shared by the Linux list view and
// the test fakes.
//
// Adding is cheap: entries wait unsorted until something asks for a position, and are then
// sorted and merged in one pass, so a scan of many thousand entries never shifts the list once
// per entry. The texts lie back to back in one buffer; an entry keeps where its text lies and
// the sort key the text rules make for it when it is added, if they make one.
class SortedList : public TrackListBox {
public:
    explicit SortedList(const TextRules& rules) : rules_(rules) {}

    int32_t Count() const override;
    std::string Text(int32_t index) const override;
    int32_t Selection() const override;
    int32_t Caret() const override;
    void Select(int32_t index) override;
    void Add(const std::string& text) override;
    void Reset() override;

    // Sorts in whatever arrived since the last query; true when the order changed.
    bool Settle() const;
    std::vector<std::string> Entries() const;

private:
    struct Entry {
        std::size_t offset;  // of the text in texts_; texts go there in the order they arrive
        uint32_t size;       // texts are paths, far shorter
        uint32_t key;        // 1 + its index in keys_, or 0 for none
    };
    std::string_view TextOf(const Entry& entry) const {
        return {texts_.data() + entry.offset, entry.size};
    }
    const SortKey* KeyOf(const Entry& entry) const {
        return entry.key == 0 ? nullptr : keys_[entry.key - 1].get();
    }
    // Ascending order, equal texts in the order they arrived, for the standard algorithms.
    auto Order() const {
        return [this](const Entry& a, const Entry& b) {
            const int order = rules_.CompareKeyed(TextOf(a), KeyOf(a), TextOf(b), KeyOf(b));
            return order != 0 ? order < 0 : a.offset < b.offset;
        };
    }
    int32_t Shifted(int32_t index) const;

    const TextRules& rules_;
    std::string texts_;
    std::vector<std::unique_ptr<const SortKey>> keys_;
    mutable std::vector<Entry> entries_;
    mutable std::vector<Entry> pending_;
    mutable int32_t selection_ = -1;
    mutable int32_t caret_ = 0;
};

}  // namespace tav
