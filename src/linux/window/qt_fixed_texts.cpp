#include "linux/window/qt_fixed_texts.h"

#include <QCoreApplication>
#include <algorithm>
#include <array>
#include <string_view>

#include "linux/window/qt_text.h"

namespace tav {
namespace {

// The core's fixed texts that reach the window, as the core writes them: marked here for
// lupdate, which reads no core source (the core includes no Qt header).
constexpr std::array kFixedTexts = {
    // buttons and labels of the control table
    QT_TRANSLATE_NOOP("Tavrello", "再生"),
    QT_TRANSLATE_NOOP("Tavrello", "停止"),
    QT_TRANSLATE_NOOP("Tavrello", "ランダム再生"),
    QT_TRANSLATE_NOOP("Tavrello", "を含むフォルダ）"),
    QT_TRANSLATE_NOOP("Tavrello", "（例外："),
    QT_TRANSLATE_NOOP("Tavrello", "１曲 = "),
    QT_TRANSLATE_NOOP("Tavrello", "音量："),
    QT_TRANSLATE_NOOP("Tavrello", "再生位置："),
    QT_TRANSLATE_NOOP("Tavrello", "フォルダ選択"),
    QT_TRANSLATE_NOOP("Tavrello", "演奏対象"),
    // the unit combo's items
    QT_TRANSLATE_NOOP("Tavrello", "フォルダ単位"),
    QT_TRANSLATE_NOOP("Tavrello", "ファイル単位"),
    // message boxes
    QT_TRANSLATE_NOOP("Tavrello", "デバイスのオープンに失敗"),
    QT_TRANSLATE_NOOP("Tavrello", "デバイスの再生に失敗"),
    QT_TRANSLATE_NOOP("Tavrello", "デバイスの停止に失敗"),
    QT_TRANSLATE_NOOP("Tavrello", "不正なパス名です"),
    QT_TRANSLATE_NOOP("Tavrello", "error"),
    // the folder dialog's title
    QT_TRANSLATE_NOOP("Tavrello", "タイトルです。"),
};

}  // namespace

QString FixedText(const std::string& bytes) {
    const auto* fixed = std::find_if(kFixedTexts.begin(), kFixedTexts.end(),
                                     [&](const char* text) { return bytes == text; });
    if (fixed == kFixedTexts.end()) {
        return DisplayText(bytes);
    }
    return QCoreApplication::translate(kTranslationContext, *fixed);
}

}  // namespace tav
