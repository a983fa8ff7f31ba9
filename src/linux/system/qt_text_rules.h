#pragma once

#include <QCollator>
#include <QLocale>

#include "linux/system/native_text.h"

namespace tav {

// UTF-8 texts ordered by a locale's collation, as the Windows compare orders them:
// case-insensitive, punctuation ignored, so that in Japanese ひらがな and カタカナ sort by their
// reading together and full-width letters among the ASCII ones. Texts the collation finds
// equal keep the byte order of UTF-8 with ASCII case folded (Utf8TextRules), so the order is
// total but for ASCII case. The C locale has no collation: its order is that byte order. On the
// UI thread only.
//
// Most names in a collection are ASCII letters, digits, spaces, '-', '.' and '/', which most
// locales collate in the order of their bytes: such a text gets no collation key and two of
// them compare as bytes. The constructor checks that the locale does so.
class CollatingTextRules : public Utf8TextRules {
public:
    explicit CollatingTextRules(const QLocale& locale = QLocale());

    int CompareNoCase(std::string_view a, std::string_view b) const override;
    std::unique_ptr<const SortKey> MakeSortKey(std::string_view text) const override;
    int CompareKeyed(std::string_view a, const SortKey* aKey, std::string_view b,
                     const SortKey* bKey) const override;

private:
    bool CollatesAsBytes(std::string_view text) const;
    bool AsciiCollatesAsBytes() const;

    QCollator collator_;
    const bool byteOrder_;
    bool asciiAsBytes_ = false;  // the locale collates those names in byte order
};

}  // namespace tav
