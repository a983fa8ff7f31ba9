#include "linux/system/qt_text_rules.h"

#include <QCollatorSortKey>
#include <QString>
#include <algorithm>
#include <cctype>
#include <string>

namespace tav {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// Texts of only dots, digits and ASCII letters (file extensions, most often) collate in the
// byte order of their folded case: the dot before digits before letters.
bool CollatesAsBytes(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte == '.' || std::isalnum(byte) != 0;
    });
}

class CollatedKey : public SortKey {
public:
    CollatedKey(const Utf8TextRules& rules, const QCollator& collator, std::string_view text)
        : rules_(rules), key_(collator.sortKey(FromUtf8(text))), text_(text) {}

    int Compare(const SortKey& other) const override {
        const auto& that = static_cast<const CollatedKey&>(other);
        const int order = key_.compare(that.key_);
        return order != 0 ? order : rules_.Utf8TextRules::CompareNoCase(text_, that.text_);
    }

private:
    const Utf8TextRules& rules_;
    QCollatorSortKey key_;
    std::string text_;
};

}  // namespace

CollatingTextRules::CollatingTextRules(const QLocale& locale)
    : collator_(locale), byteOrder_(locale.language() == QLocale::C) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    // Spaces and punctuation count, before digits and letters: a path's separator must keep
    // every folder's entries together, as '\\' does in the Windows order.
    collator_.setIgnorePunctuation(false);
}

int CollatingTextRules::CompareNoCase(std::string_view a, std::string_view b) const {
    const int folded = Utf8TextRules::CompareNoCase(a, b);
    if (folded == 0 || byteOrder_ || (CollatesAsBytes(a) && CollatesAsBytes(b))) {
        return folded;  // equal but for ASCII case, the collation agrees
    }
    const int order = collator_.compare(FromUtf8(a), FromUtf8(b));
    return order != 0 ? order : folded;
}

std::unique_ptr<const SortKey> CollatingTextRules::MakeSortKey(std::string_view text) const {
    if (byteOrder_) {
        return Utf8TextRules::MakeSortKey(text);
    }
    return std::make_unique<CollatedKey>(*this, collator_, text);
}

}  // namespace tav
