#include "linux/desktop/mpris_adaptor.h"

namespace tav {

MprisRootAdaptor::MprisRootAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(*service) {}

void MprisRootAdaptor::Raise() {
    service_.Raise();
}

void MprisRootAdaptor::Quit() {
    service_.Quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(MprisService* service)
    : QDBusAbstractAdaptor(service), service_(*service) {
    connect(service, &MprisService::Seeked, this, &MprisPlayerAdaptor::Seeked);
}

void MprisPlayerAdaptor::Next() {
    service_.Command(MediaCommand::Next);
}

void MprisPlayerAdaptor::Previous() {
    service_.Command(MediaCommand::Previous);
}

void MprisPlayerAdaptor::Pause() {
    service_.Command(MediaCommand::Pause);
}

void MprisPlayerAdaptor::PlayPause() {
    service_.Command(MediaCommand::PlayPause);
}

void MprisPlayerAdaptor::Stop() {
    service_.Command(MediaCommand::Stop);
}

void MprisPlayerAdaptor::Play() {
    service_.Command(MediaCommand::Play);
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    service_.Seek(offset);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    service_.SetPosition(trackId, position);
}

void MprisPlayerAdaptor::OpenUri(const QString& /*Uri*/) {}

}  // namespace tav
