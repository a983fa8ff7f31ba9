#include "linux/window/qt_accessible_names.h"

#include <QAbstractSlider>
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
    [[maybe_unused]] static const bool installed = [] {
        QAccessible::installFactory(FrameInterface);  // once for every window
        return true;
    }();
    window.setObjectName(kFrameName);
}

void SetSpokenValue(QWidget& control, const QString& value) {
    if (control.accessibleDescription() != value) {
        control.setAccessibleDescription(value);
    }
}

void SpeakPercentage(QAbstractSlider& bar) {
    const auto say = [&bar] {
        const int range = bar.maximum() - bar.minimum();
        const int percent =
            range > 0 ? ((bar.value() - bar.minimum()) * 100 + range / 2) / range : 0;
        SetSpokenValue(bar, QStringLiteral("%1%").arg(percent));
    };
    QObject::connect(&bar, &QAbstractSlider::valueChanged, &bar, say);
    QObject::connect(&bar, &QAbstractSlider::rangeChanged, &bar, say);
    say();
}

}  // namespace tav
