#include "linux/window/qt_accessible_names.h"

#include <QAccessibleWidget>
#include <QCoreApplication>

namespace tav {
namespace {

constexpr const char* kFrameName = "TavrelloFrame";

// The window is a frame to a screen reader (a plain top-level widget would be a filler).
QAccessibleInterface* FrameInterface(const QString& /*className*/, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr || !widget->isWindow() || widget->objectName() != kFrameName) {
        return nullptr;
    }
    return new QAccessibleWidget(widget, QAccessible::Window);
}

}  // namespace

QString AccessibleName(const ControlSpec& row) {
    switch (row.id) {
    case TrackList:
        return QCoreApplication::translate("Tavrello", "曲の一覧");
    case FolderEdit:
        return QCoreApplication::translate("Tavrello", "フォルダ");
    case UnitCombo:
        return QCoreApplication::translate("Tavrello", "１曲");
    case ExclusionEdit:
        return QCoreApplication::translate("Tavrello", "例外");
    case VolumeBar:
        return QCoreApplication::translate("Tavrello", "音量");
    case PositionBar:
        return QCoreApplication::translate("Tavrello", "再生位置");
    case PrevButton:
        return QCoreApplication::translate("Tavrello", "前のファイル");
    case NextButton:
        return QCoreApplication::translate("Tavrello", "次のファイル");
    case InfoTitle:
        return QCoreApplication::translate("Tavrello", "タイトル");
    case InfoArtist:
        return QCoreApplication::translate("Tavrello", "アーティスト");
    case InfoAlbum:
        return QCoreApplication::translate("Tavrello", "アルバム");
    case InfoComment:
        return QCoreApplication::translate("Tavrello", "コメント");
    default:
        return {};  // labels and the other buttons are read as they show
    }
}

void MakeAccessibleFrame(QWidget& window) {
    static const bool installed = [] {
        QAccessible::installFactory(FrameInterface);
        return true;
    }();
    static_cast<void>(installed);
    window.setObjectName(kFrameName);
}

void SetSpokenValue(QWidget& control, const QString& value) {
    if (control.accessibleDescription() != value) {
        control.setAccessibleDescription(value);
    }
}

QString VolumeText(int position, int maximum) {
    const int percent = maximum > 0 ? (position * 100 + maximum / 2) / maximum : 0;
    return QStringLiteral("%1%").arg(percent);
}

}  // namespace tav
