#include "linux/window/qt_accessible_names.h"

namespace tav {

QString AccessibleName(const ControlSpec& row) {
    switch (row.id) {
    case TrackList:
        return QStringLiteral("曲の一覧");
    case FolderEdit:
        return QStringLiteral("フォルダ");
    case UnitCombo:
        return QStringLiteral("１曲");
    case ExclusionEdit:
        return QStringLiteral("例外");
    case VolumeBar:
        return QStringLiteral("音量");
    case PositionBar:
        return QStringLiteral("再生位置");
    case InfoTitle:
        return QStringLiteral("タイトル");
    case InfoArtist:
        return QStringLiteral("アーティスト");
    case InfoAlbum:
        return QStringLiteral("アルバム");
    case InfoComment:
        return QStringLiteral("コメント");
    default:
        return row.kind == ControlClass::Button ? QString::fromUtf8(row.text) : QString();
    }
}

}  // namespace tav
