#include "linux/desktop/mpris_service.h"

#include <QAbstractSlider>
#include <QCoreApplication>
#include <QDBusMessage>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "linux/desktop/mpris_adaptor.h"
#include "playback/position.h"
#include "playback/transport.h"
#include "player/control_table.h"

namespace tav {
namespace {

const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.tavrello");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
const QString kTrackPrefix = QStringLiteral("/org/tavrello/Tavrello/track/");
constexpr qlonglong kMicrosPerMilli = 1000;

QString Line(const QtMainWindow& window, int id) {
    return QString::fromStdString(window.ControlText(id));
}

// Records the value in `shown` and in `changed` when it differs from what was shown.
template <typename Value>
void NoteChange(QVariantMap& changed, const char* name, const Value& now, Value& shown) {
    if (now != shown) {
        shown = now;
        changed.insert(QString::fromLatin1(name), QVariant::fromValue(now));
    }
}

}  // namespace

MprisService::MprisService(QtMainWindow& window, Player& player, FileTrackingDevice& files)
    : window_(window), player_(player), files_(files) {
    new MprisRootAdaptor(this);
    new MprisPlayerAdaptor(this);
}

MprisService::~MprisService() {
    window_.OnPlayStateChange({});
    files_.OnSeek({});
}

bool MprisService::Register(QDBusConnection bus) {
    if (!bus.isConnected() || !bus.registerObject(kObjectPath, this)) {
        return false;
    }
    const QString ownName =
        kServiceName + ".instance" + QString::number(QCoreApplication::applicationPid());
    if (!bus.registerService(kServiceName) && !bus.registerService(ownName)) {
        bus.unregisterObject(kObjectPath);
        return false;
    }
    bus_ = bus;
    shownStatus_ = PlaybackStatus();
    shownMetadata_ = Metadata();
    shownVolume_ = Volume();
    shownAbilities_ = Abilities();
    window_.OnPlayStateChange([this] { ScheduleCheck(); });
    files_.OnSeek([this](uint32_t device) {
        if (device == CurrentDevice()) {
            AnnounceSeek();
        }
    });
    if (auto* volumeBar = qobject_cast<QAbstractSlider*>(window_.Control(VolumeBar))) {
        connect(volumeBar, &QAbstractSlider::valueChanged, this, &MprisService::ScheduleCheck);
    }
    return true;
}

bool MprisService::RaiseOther(QDBusConnection bus, const QString& owner) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        owner, kObjectPath, QStringLiteral("org.mpris.MediaPlayer2"), QStringLiteral("Raise"));
    return bus.call(call, QDBus::Block, 1000).type() == QDBusMessage::ReplyMessage;
}

void MprisService::Raise() {
    window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
    window_.show();
    window_.raise();
    window_.activateWindow();
}

// As the close box: the settings are saved and the program ends. Queued, so that the caller
// gets its answer first.
void MprisService::Quit() {
    QMetaObject::invokeMethod(
        &window_, [this] { window_.close(); }, Qt::QueuedConnection);
}

void MprisService::Command(MediaCommand command) {
    QMetaObject::invokeMethod(
        this, [this, command] { OnMediaCommand(player_, command); }, Qt::QueuedConnection);
}

QString MprisService::PlaybackStatus() const {
    if (player_.playback.paused) {
        return QStringLiteral("Paused");
    }
    return window_.IsPlaying() ? QStringLiteral("Playing") : QStringLiteral("Stopped");
}

uint32_t MprisService::CurrentDevice() const {
    return window_.IsPlaying() || player_.playback.paused ? player_.playback.deviceId : 0;
}

bool MprisService::CanGoNext() const {
    return player_.trackList().Count() > 0;
}

bool MprisService::CanPlay() const {
    return CanStartPlay(player_);
}

bool MprisService::CanPause() const {
    return CurrentDevice() != 0;
}

bool MprisService::CanSeek() const {
    return DeviceStatus(StatusItem::Length) > 0;
}

bool MprisService::Shuffle() const {
    return player_.playback.randomMode;
}

// The next piece is drawn at random, or follows in the list, as after the window's buttons.
void MprisService::SetShuffle(bool shuffle) {
    player_.playback.randomMode = shuffle;
    ScheduleCheck();
}

QVariantMap MprisService::Abilities() const {
    const bool canGoNext = CanGoNext();
    return {{"CanGoNext", canGoNext}, {"CanGoPrevious", canGoNext}, {"CanPlay", CanPlay()},
            {"CanPause", CanPause()}, {"CanSeek", CanSeek()},       {"Shuffle", Shuffle()}};
}

uint32_t MprisService::DeviceStatus(StatusItem item) const {
    uint32_t value = 0;
    if (const uint32_t device = CurrentDevice()) {
        player_.device().Status(device, item, value);
    }
    return value;
}

QDBusObjectPath MprisService::TrackId() const {
    const uint32_t device = CurrentDevice();
    return QDBusObjectPath(device == 0 ? kNoTrack : kTrackPrefix + QString::number(device));
}

// The info lines as the window shows them. A file without tags shows its name in the first
// line and its folder in the second: it is then named by the file name alone.
QVariantMap MprisService::Metadata() const {
    QVariantMap metadata{{"mpris:trackid", QVariant::fromValue(TrackId())}};
    const std::string path = files_.FileOf(CurrentDevice());
    if (path.empty()) {
        return metadata;
    }
    const QString title = Line(window_, InfoTitle);
    const QString artist = Line(window_, InfoArtist);
    const QString album = Line(window_, InfoAlbum);
    const QString file = QFile::decodeName(QByteArray::fromStdString(path));
    metadata.insert("xesam:title", title);
    if (artist + title != file) {
        if (!artist.isEmpty()) {
            metadata.insert("xesam:artist", QStringList{artist});
        }
        if (!album.isEmpty()) {
            metadata.insert("xesam:album", album);
        }
    }
    metadata.insert("xesam:url", QString::fromLatin1(QUrl::fromLocalFile(file).toEncoded()));
    if (const uint32_t length = DeviceStatus(StatusItem::Length)) {
        metadata.insert("mpris:length", qlonglong{length} * kMicrosPerMilli);
    }
    return metadata;
}

qlonglong MprisService::Position() const {
    return qlonglong{DeviceStatus(StatusItem::Position)} * kMicrosPerMilli;
}

double MprisService::Volume() const {
    return static_cast<double>(window_.TrackbarPosition(VolumeBar)) / kTrackbarScale;
}

// As the user setting the volume bar: the bar moves and its drawing sets the volume.
void MprisService::SetVolume(double volume) {
    if (std::isnan(volume)) {
        return;
    }
    const auto bar = static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * kTrackbarScale));
    window_.SetTrackbarRange(VolumeBar, 0, kTrackbarScale, false);
    window_.SetTrackbarPosition(VolumeBar, bar, true);
    window_.SendNotify(VolumeBar, NM_CUSTOMDRAW_);
}

// A position outside the file, or one meant for a file no longer playing, does nothing.
void MprisService::SetPosition(const QDBusObjectPath& track, qlonglong positionUs) {
    const qlonglong lengthUs = qlonglong{DeviceStatus(StatusItem::Length)} * kMicrosPerMilli;
    if (track == TrackId() && positionUs >= 0 && positionUs <= lengthUs) {
        SeekWithin(positionUs / kMicrosPerMilli);
    }
}

void MprisService::Seek(qlonglong offsetUs) {
    if (CurrentDevice() != 0) {
        SeekWithin((Position() + offsetUs) / kMicrosPerMilli);
    }
}

// Past the end it lands at the end, and the next file follows; a paused file stays paused.
void MprisService::SeekWithin(int64_t ms) {
    const uint32_t length = DeviceStatus(StatusItem::Length);
    if (length > 0) {
        SeekTo(player_, static_cast<uint32_t>(std::clamp<int64_t>(ms, 0, length)));
    }
}

// Told once the seek's play has begun, from where the device then stands.
void MprisService::AnnounceSeek() {
    QMetaObject::invokeMethod(
        this, [this] { emit Seeked(Position()); }, Qt::QueuedConnection);
}

// A new file stops the last one first: one look after the events settle tells the bus the
// net change only.
void MprisService::ScheduleCheck() {
    if (checkPending_) {
        return;
    }
    checkPending_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            checkPending_ = false;
            AnnounceChanges();
        },
        Qt::QueuedConnection);
}

void MprisService::AnnounceChanges() {
    QVariantMap changed;
    NoteChange(changed, "PlaybackStatus", PlaybackStatus(), shownStatus_);
    NoteChange(changed, "Metadata", Metadata(), shownMetadata_);
    NoteChange(changed, "Volume", Volume(), shownVolume_);
    const QVariantMap abilities = Abilities();
    for (auto ability = abilities.begin(); ability != abilities.end(); ++ability) {
        if (shownAbilities_.value(ability.key()) != ability.value()) {
            changed.insert(ability.key(), ability.value());
        }
    }
    shownAbilities_ = abilities;
    if (changed.isEmpty() || !bus_) {
        return;
    }
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    bus_->send(signal);
}

}  // namespace tav
