#pragma once
// The player on the desktop's media bus (MPRIS 2): media keys, desktop widgets and
// playerctl drive it through the same commands as its own buttons, and see what plays.
// Without a session bus the player simply goes on without it.

#include <QDBusAbstractAdaptor>
#include <QDBusObjectPath>
#include <QObject>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

namespace volta::app {
class PlayerController;
}

namespace volta::shell {

class MIDIApplication;

inline constexpr const char* kMprisService = "org.mpris.MediaPlayer2.volta";
inline constexpr const char* kMprisPath = "/org/mpris/MediaPlayer2";

class MprisService : public QObject {
  Q_OBJECT

 public:
  explicit MprisService(MIDIApplication& application);
  // Takes the bus name and publishes the player; false when there is no session bus or
  // the name is another's.
  bool publish();

  // ---- what the interfaces read ----
  QString playbackStatus() const;
  QVariantMap metadata() const;
  qlonglong position() const;  // microseconds
  double volume() const;
  bool canSeek() const;
  bool canGoNext() const;
  bool canGoPrevious() const;

  // ---- what they ask for ----
  void play();
  void pause();
  void playPause();
  void stop();
  void next();
  void previous();
  void seek(qlonglong offset);
  void setPosition(const QDBusObjectPath& track, qlonglong position);
  void openUri(const QString& uri);
  void setVolume(double volume);
  void raise();
  void quit();

  // Compares what the interfaces show with what they last told and signals the changes.
  void refresh();

 signals:
  void seeked(qlonglong position);

 private:
  void run(int command);
  void seekTo(qlonglong position);
  QString trackId() const;
  qlonglong length() const;  // microseconds; 0 without a song

  MIDIApplication& application_;
  app::PlayerController& controller_;
  QTimer poll_;
  QVariantMap told_;
};

// org.mpris.MediaPlayer2
class MprisRoot : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
  Q_PROPERTY(bool CanQuit READ canQuit)
  Q_PROPERTY(bool CanRaise READ canRaise)
  Q_PROPERTY(bool HasTrackList READ hasTrackList)
  Q_PROPERTY(QString Identity READ identity)
  Q_PROPERTY(QString DesktopEntry READ desktopEntry)
  Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
  Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)

 public:
  explicit MprisRoot(MprisService& service) : QDBusAbstractAdaptor(&service), service_(service) {}
  bool canQuit() const { return true; }
  bool canRaise() const { return true; }
  bool hasTrackList() const { return false; }
  QString identity() const { return QStringLiteral("VOLTA Player"); }
  QString desktopEntry() const { return QStringLiteral("volta"); }
  QStringList supportedUriSchemes() const { return {QStringLiteral("file")}; }
  QStringList supportedMimeTypes() const;

 public slots:
  void Raise() { service_.raise(); }
  void Quit() { service_.quit(); }

 private:
  MprisService& service_;
};

// org.mpris.MediaPlayer2.Player
class MprisPlayer : public QDBusAbstractAdaptor {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
  Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
  Q_PROPERTY(double Rate READ rate WRITE setRate)
  Q_PROPERTY(double MinimumRate READ rate)
  Q_PROPERTY(double MaximumRate READ rate)
  Q_PROPERTY(QVariantMap Metadata READ metadata)
  Q_PROPERTY(double Volume READ volume WRITE setVolume)
  Q_PROPERTY(qlonglong Position READ position)
  Q_PROPERTY(bool CanGoNext READ canGoNext)
  Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
  Q_PROPERTY(bool CanPlay READ canControl)
  Q_PROPERTY(bool CanPause READ canControl)
  Q_PROPERTY(bool CanSeek READ canSeek)
  Q_PROPERTY(bool CanControl READ canControl)

 public:
  explicit MprisPlayer(MprisService& service);
  QString playbackStatus() const { return service_.playbackStatus(); }
  // Speed changes go through the player's own steps; the bus sees the normal rate.
  double rate() const { return 1.0; }
  void setRate(double) {}
  QVariantMap metadata() const { return service_.metadata(); }
  double volume() const { return service_.volume(); }
  void setVolume(double volume) { service_.setVolume(volume); }
  qlonglong position() const { return service_.position(); }
  bool canGoNext() const { return service_.canGoNext(); }
  bool canGoPrevious() const { return service_.canGoPrevious(); }
  bool canSeek() const { return service_.canSeek(); }
  bool canControl() const { return true; }

 public slots:
  void Play() { service_.play(); }
  void Pause() { service_.pause(); }
  void PlayPause() { service_.playPause(); }
  void Stop() { service_.stop(); }
  void Next() { service_.next(); }
  void Previous() { service_.previous(); }
  void Seek(qlonglong Offset) { service_.seek(Offset); }
  void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position) { service_.setPosition(TrackId, Position); }
  void OpenUri(const QString& Uri) { service_.openUri(Uri); }

 signals:
  void Seeked(qlonglong Position);

 private:
  MprisService& service_;
};

}  // namespace volta::shell
