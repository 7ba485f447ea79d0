#include "player/shell/desktop/mpris.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QUrl>
#include <algorithm>
#include <cmath>

#include "platform/desktop/file_associations.h"
#include "player/core/app/command_ids.h"
#include "player/core/app/player_controller.h"
#include "player/core/midi_file.h"
#include "player/shell/frame/midi_application.h"
#include "player/shell/frame/text_codec.h"

namespace volta::shell {
namespace {

namespace cmd = app::cmd;

// Changes reach the bus this often at the latest (a song ends, Next settles, the user clicks).
constexpr int kPollMs = 200;
constexpr qlonglong kMicrosecondsPerEngineUnit = 10;

}  // namespace

QStringList MprisRoot::supportedMimeTypes() const {
  QStringList types;
  for (const platform::desktop::FileType& type : platform::desktop::kFileTypes)
    types << QString::fromUtf8(type.mimeType.data(), static_cast<qsizetype>(type.mimeType.size()));
  return types;
}

MprisPlayer::MprisPlayer(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service) {
  connect(&service, &MprisService::seeked, this, &MprisPlayer::Seeked);
}

MprisService::MprisService(MIDIApplication& application)
    : application_(application), controller_(application.controller()) {
  new MprisRoot(*this);
  new MprisPlayer(*this);
  poll_.setInterval(kPollMs);
  connect(&poll_, &QTimer::timeout, this, &MprisService::refresh);
}

bool MprisService::publish() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return false;
  if (!bus.registerObject(QString::fromLatin1(kMprisPath), this, QDBusConnection::ExportAdaptors)) return false;
  // A second player on the same bus is told apart by its process, as the protocol suggests.
  if (!bus.registerService(QString::fromLatin1(kMprisService)) &&
      !bus.registerService(QString::fromLatin1(kMprisService) + ".instance" +
                           QString::number(QCoreApplication::applicationPid()))) {
    bus.unregisterObject(QString::fromLatin1(kMprisPath));
    return false;
  }
  refresh();
  poll_.start();
  return true;
}

// ---- what the interfaces read ----

QString MprisService::playbackStatus() const {
  const app::PlayingState& state = controller_.playback().state();
  if (!state.playing) return QStringLiteral("Stopped");
  return state.paused ? QStringLiteral("Paused") : QStringLiteral("Playing");
}

QString MprisService::trackId() const {
  const int position = controller_.playback().state().position;
  if (!controller_.lists().entryAt(static_cast<std::size_t>(std::max(position, 0))))
    return QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
  return QStringLiteral("/org/volta/track/%1").arg(position);
}

QVariantMap MprisService::metadata() const {
  QVariantMap data;
  data.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(trackId())));
  const int position = controller_.playback().state().position;
  const core::MIDIFile* entry =
      position < 0 ? nullptr : controller_.lists().entryAt(static_cast<std::size_t>(position));
  if (!entry) return data;
  const std::filesystem::path file = core::fullPath(controller_.lists().baseFolder(), *entry);
  const QString name = QFile::decodeName(file.c_str());
  const QString title = entry->title.empty() ? QFile::decodeName(file.filename().c_str()) : fromCp932(entry->title);
  data.insert(QStringLiteral("xesam:title"), title);
  data.insert(QStringLiteral("xesam:url"), QUrl::fromLocalFile(name).toString(QUrl::FullyEncoded));
  data.insert(QStringLiteral("mpris:length"), qlonglong(entry->lengthMs) * 1000);
  return data;
}

qlonglong MprisService::length() const {
  const int position = controller_.playback().state().position;
  const core::MIDIFile* entry =
      position < 0 ? nullptr : controller_.lists().entryAt(static_cast<std::size_t>(position));
  return entry ? qlonglong(entry->lengthMs) * 1000 : 0;
}

qlonglong MprisService::position() const {
  const app::EnginePlayer* player = controller_.session().player();
  const auto* status = controller_.session().songLoaded() ? player->status() : nullptr;
  return status && controller_.playback().state().playing ? qlonglong(status->songTime) * kMicrosecondsPerEngineUnit
                                                          : 0;
}

double MprisService::volume() const {
  return double(controller_.settings().lastVolume) / app::kMaxVolume;
}

bool MprisService::canSeek() const {
  return controller_.playback().state().playing && controller_.session().songLoaded();
}

bool MprisService::canGoNext() const {
  return controller_.lists().count() > 0;
}

bool MprisService::canGoPrevious() const {
  return controller_.lists().count() > 0;
}

// ---- what they ask for: the user's own commands, refused alike while a remote client holds the lock ----

void MprisService::run(int command) {
  controller_.command(command);
  refresh();
}

void MprisService::play() {
  const app::PlayingState& state = controller_.playback().state();
  run(state.playing && state.paused ? cmd::kPause : cmd::kPlay);
}

void MprisService::pause() {
  const app::PlayingState& state = controller_.playback().state();
  if (state.playing && !state.paused) run(cmd::kPause);
}

void MprisService::playPause() {
  run(cmd::kPlayPause);
}
void MprisService::stop() {
  run(cmd::kStop);
}
void MprisService::next() {
  run(cmd::kNext);
}
void MprisService::previous() {
  run(cmd::kPrevious);
}

void MprisService::seekTo(qlonglong position) {
  if (!canSeek() || controller_.remote().locked()) return;
  // The slider's path: tenths of a second.
  controller_.playback().sliderPressed();
  controller_.playback().sliderReleased(static_cast<int>(std::max<qlonglong>(position, 0) / 100'000));
  emit seeked(this->position());
  refresh();
}

void MprisService::seek(qlonglong offset) {
  const qlonglong target = position() + offset;
  // Beyond the end the next song plays, as the protocol asks.
  if (length() > 0 && target > length()) return next();
  seekTo(target);
}

void MprisService::setPosition(const QDBusObjectPath& track, qlonglong position) {
  if (track.path() != trackId() || position < 0 || position > length()) return;
  seekTo(position);
}

void MprisService::openUri(const QString& uri) {
  const QUrl url(uri);
  if (!url.isLocalFile() || controller_.remote().locked()) return;
  controller_.lists().openName(QFile::encodeName(url.toLocalFile()).toStdString(), {}, true);
  refresh();
}

void MprisService::setVolume(double volume) {
  if (std::isnan(volume)) return;
  controller_.playback().setVolume(static_cast<int>(std::lround(std::clamp(volume, 0.0, 1.0) * app::kMaxVolume)));
  refresh();
}

void MprisService::raise() {
  application_.activateMainWindow();
}

void MprisService::quit() {
  application_.quit();
}

// ---- telling the bus ----

void MprisService::refresh() {
  const QVariantMap now{{QStringLiteral("PlaybackStatus"), playbackStatus()},
                        {QStringLiteral("Metadata"), metadata()},
                        {QStringLiteral("Volume"), volume()},
                        {QStringLiteral("CanSeek"), canSeek()},
                        {QStringLiteral("CanGoNext"), canGoNext()},
                        {QStringLiteral("CanGoPrevious"), canGoPrevious()}};
  QVariantMap changed;
  for (auto it = now.begin(); it != now.end(); ++it)
    if (told_.value(it.key()) != it.value()) changed.insert(it.key(), it.value());
  told_ = now;
  if (changed.isEmpty()) return;
  QDBusMessage signal =
      QDBusMessage::createSignal(QString::fromLatin1(kMprisPath), QStringLiteral("org.freedesktop.DBus.Properties"),
                                 QStringLiteral("PropertiesChanged"));
  signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
  QDBusConnection::sessionBus().send(signal);
}

}  // namespace volta::shell
