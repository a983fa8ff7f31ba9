#pragma once

#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>
#include <optional>

#include "app/media_keys.h"
#include "linux/desktop/mpris_device.h"
#include "linux/window/qt_main_window.h"
#include "player/player.h"

namespace tav {

// The player on the desktop's media controls (MPRIS: org.mpris.MediaPlayer2 and its .Player
// interface, at /org/mpris/MediaPlayer2). Commands enter the core as media keys do, after the
// call has been answered, so that no call waits on the player or on a box it shows; seeks
// land on the asked millisecond. What it reports is what the window shows and what the device
// tells, as the display timer reads it. Changes are announced when a file starts, pauses or
// stops and when the volume moves, never on the display's ticks; every seek is announced.
class MprisService : public QObject {
    Q_OBJECT

public:
    MprisService(QtMainWindow& window, Player& player, FileTrackingDevice& files);
    ~MprisService() override;

    // Offers the player on the bus as org.mpris.MediaPlayer2.tavrello, or under a name of its
    // own when another instance holds that one. False, with nothing offered, when the bus is
    // not connected or refuses.
    bool Register(QDBusConnection bus);
    // Asks the player at the bus address `owner` (a connection's unique name) to raise its
    // window; false when it does not answer within a second.
    static bool RaiseOther(QDBusConnection bus, const QString& owner);

    void Raise();
    void Quit();
    void Command(MediaCommand command);
    QString PlaybackStatus() const;
    QVariantMap Metadata() const;
    qlonglong Position() const;  // microseconds, as every MPRIS time
    double Volume() const;
    void SetVolume(double volume);
    bool CanGoNext() const;  // and previous
    bool CanPlay() const;
    bool CanPause() const;
    bool CanSeek() const;
    bool Shuffle() const;
    void SetShuffle(bool shuffle);
    void SetPosition(const QDBusObjectPath& track, qlonglong positionUs);
    void Seek(qlonglong offsetUs);

signals:
    void Seeked(qlonglong positionUs);

private:
    uint32_t CurrentDevice() const;  // 0 while nothing plays
    uint32_t DeviceStatus(StatusItem item) const;
    QDBusObjectPath TrackId() const;
    QVariantMap Abilities() const;  // the Can* properties and Shuffle
    void SeekWithin(int64_t ms);
    void AnnounceSeek();
    void ScheduleCheck();
    void AnnounceChanges();

    QtMainWindow& window_;
    Player& player_;
    FileTrackingDevice& files_;
    std::optional<QDBusConnection> bus_;
    bool checkPending_ = false;
    // What the bus was last told.
    QString shownStatus_;
    QVariantMap shownMetadata_;
    double shownVolume_ = 0;
    QVariantMap shownAbilities_;  // the Can* properties and Shuffle
};

}  // namespace tav
