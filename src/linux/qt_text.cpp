#include "linux/qt_text.h"

#include <iconv.h>

#include <QVariant>
#include <cstdint>
#include <optional>

namespace tav {
namespace {

constexpr const char* kBytesProperty = "tavrelloBytes";
constexpr const char* kShownProperty = "tavrelloShown";

// The length of the strict UTF-8 sequence at `at` (no overlong forms, no surrogates, nothing
// above U+10FFFF); 0 when the bytes there are not one.
std::size_t Utf8SequenceAt(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > bytes.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(bytes[at + i]);
        if (next < (i == 1 ? low : 0x80) || next > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

bool IsUtf8(std::string_view bytes) {
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, at);
        if (length == 0) {
            return false;
        }
        at += length;
    }
    return true;
}

// The whole part as CP932, or nothing when any byte of it is not a CP932 character.
std::optional<QString> FromCp932(std::string_view bytes) {
    static const iconv_t converter = iconv_open("UTF-8", "CP932");
    if (reinterpret_cast<intptr_t>(converter) == -1) {  // iconv_open failed
        return std::nullopt;
    }
    iconv(converter, nullptr, nullptr, nullptr, nullptr);
    std::string input(bytes);
    std::string output(bytes.size() * 3, '\0');  // half-width katakana grow most: 1 to 3
    char* in = input.data();
    std::size_t inLeft = input.size();
    char* out = output.data();
    std::size_t outLeft = output.size();
    if (iconv(converter, &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1) ||
        iconv(converter, nullptr, nullptr, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        return std::nullopt;
    }
    output.resize(output.size() - outLeft);
    return QString::fromStdString(output);
}

QString Escaped(std::string_view bytes) {
    QString text;
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8SequenceAt(bytes, at);
        if (length > 0) {
            text += QString::fromUtf8(bytes.data() + at, static_cast<qsizetype>(length));
            at += length;
        } else {
            text += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(bytes[at]), 2, 16,
                                                QLatin1Char('0'));
            ++at;
        }
    }
    return text;
}

QString DisplayPart(std::string_view part) {
    if (IsUtf8(part)) {
        return QString::fromUtf8(part.data(), static_cast<qsizetype>(part.size()));
    }
    if (std::optional<QString> text = FromCp932(part)) {
        return *text;
    }
    return Escaped(part);
}

}  // namespace

// No CP932 trail byte is '/', so the parts of a path never split a character.
QString DisplayText(std::string_view bytes) {
    QString text;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = bytes.find('/', start);
        text += DisplayPart(bytes.substr(start, slash - start));
        if (slash == std::string_view::npos) {
            return text;
        }
        text += QLatin1Char('/');
        start = slash + 1;
    }
}

void KeepBytes(QObject& widget, const std::string& bytes, const QString& shown) {
    widget.setProperty(kBytesProperty, QByteArray::fromStdString(bytes));
    widget.setProperty(kShownProperty, shown);
}

std::string KeptBytes(const QObject& widget, const QString& shownNow) {
    const QVariant shown = widget.property(kShownProperty);
    if (shown.isValid() && shown.toString() == shownNow) {
        return widget.property(kBytesProperty).toByteArray().toStdString();
    }
    return shownNow.toUtf8().toStdString();
}

}  // namespace tav
