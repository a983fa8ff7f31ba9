#pragma once

#include <memory>
#include <string>
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
// per entry. Each entry keeps its sort key from the text rules, made once when it is added.
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
        std::string text;
        std::unique_ptr<const SortKey> key;
    };
    static bool Less(const Entry& a, const Entry& b) { return a.key->Compare(*b.key) < 0; }
    int32_t Shifted(int32_t index) const;

    const TextRules& rules_;
    mutable std::vector<Entry> entries_;
    mutable std::vector<Entry> pending_;
    mutable int32_t selection_ = -1;
    mutable int32_t caret_ = 0;
};

}  // namespace tav
