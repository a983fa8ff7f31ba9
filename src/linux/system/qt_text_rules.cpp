#include "linux/system/qt_text_rules.h"

#include <QCollatorSortKey>
#include <QString>
#include <algorithm>
#include <array>
#include <string>

namespace tav {
namespace {

QString FromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// In byte order, ASCII letters folded to lower case.
constexpr std::string_view kByteOrdered = " -./0123456789abcdefghijklmnopqrstuvwxyz";

constexpr std::array<bool, 256> kIsByteOrdered = [] {
    std::array<bool, 256> table{};
    for (const char c : kByteOrdered) {
        table[static_cast<unsigned char>(c)] = true;
        table[static_cast<unsigned char>(c >= 'a' ? c - 'a' + 'A' : c)] = true;
    }
    return table;
}();

class CollatedKey : public SortKey {
public:
    explicit CollatedKey(QCollatorSortKey collated) : key(std::move(collated)) {}
    const QCollatorSortKey key;
};

}  // namespace

CollatingTextRules::CollatingTextRules(const QLocale& locale)
    : collator_(locale), byteOrder_(locale.language() == QLocale::C) {
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    // Spaces and punctuation count, before digits and letters: a path's separator must keep
    // every folder's entries together, as '\\' does in the Windows order.
    collator_.setIgnorePunctuation(false);
    asciiAsBytes_ = !byteOrder_ && AsciiCollatesAsBytes();
}

// Every text of one and two of those characters, in byte order, must collate ascending, and
// each upper-case letter as its lower case. Tailorings that reorder ASCII letters (Danish
// "aa" after "z", Czech "ch" after "h", Lithuanian "y" before "j") all show in two letters.
bool CollatingTextRules::AsciiCollatesAsBytes() const {
    for (const char letter : kByteOrdered.substr(kByteOrdered.find('a'))) {
        const QChar upper(letter - 'a' + 'A');
        if (collator_.compare(QString(QChar(letter)), QString(upper)) != 0) {
            return false;
        }
    }
    QString previous;
    for (const char first : kByteOrdered) {
        const QString one(QChar{first});
        if (collator_.compare(previous, one) >= 0) {
            return false;
        }
        previous = one;
        for (const char second : kByteOrdered) {
            const QString two = one + QChar(second);
            if (collator_.compare(previous, two) >= 0) {
                return false;
            }
            previous = two;
        }
    }
    return true;
}

bool CollatingTextRules::CollatesAsBytes(std::string_view text) const {
    return asciiAsBytes_ && std::all_of(text.begin(), text.end(), [](char c) {
               return kIsByteOrdered[static_cast<unsigned char>(c)];
           });
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
    if (byteOrder_ || CollatesAsBytes(text)) {
        return nullptr;
    }
    return std::make_unique<CollatedKey>(collator_.sortKey(FromUtf8(text)));
}

// Texts without a key compare as bytes; texts whose keys differ as their keys.
int CollatingTextRules::CompareKeyed(std::string_view a, const SortKey* aKey, std::string_view b,
                                     const SortKey* bKey) const {
    if (aKey == nullptr && bKey == nullptr) {
        return Utf8TextRules::CompareNoCase(a, b);
    }
    if (aKey == nullptr || bKey == nullptr) {
        return CompareNoCase(a, b);
    }
    const int order = static_cast<const CollatedKey*>(aKey)->key.compare(
        static_cast<const CollatedKey*>(bKey)->key);
    return order != 0 ? order : Utf8TextRules::CompareNoCase(a, b);
}

}  // namespace tav
