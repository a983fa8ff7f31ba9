#include "linux/window/qt_text.h"

#include <iconv.h>

#include <QVariant>
#include <cstdint>
#include <optional>

#include "text/strict_utf8.h"

namespace tav {
namespace {

constexpr const char* kBytesProperty = "tavrelloBytes";
constexpr const char* kShownProperty = "tavrelloShown";

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
    if (IsStrictUtf8(part)) {
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
