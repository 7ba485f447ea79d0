#pragma once
// The "SMF Knife" dialog: converts one song of the list with a chosen configuration
// file into the file beside it named with ".smfk" appended, on a worker thread with a
// progress bar, and sets whether the list plays that converted file.

#include <QDialog>
#include <filesystem>
#include <functional>
#include <memory>

#include "player/core/smfk/smfk_worker.h"
#include "player/core/smfk/song_conversion.h"

class QCheckBox;
class QComboBox;
class QProgressBar;
class QPushButton;

namespace volta::shell {

struct SmfkSong {
  std::filesystem::path path;  // the song's folder followed by its file name
  bool playConverted = false;  // the entry's "Play a converted file" flag
};

struct SmfkPlaces {
  std::filesystem::path configurationFolder;  // "SMFKFolder"
  std::filesystem::path tempFolder;           // where an RCP song becomes a Standard MIDI File first
};

class TSMFKDialog : public QDialog {
  Q_OBJECT

 public:
  TSMFKDialog(core::smfk::SmfkLibrary& library, SmfkSong song, SmfkPlaces places, QWidget* parent = nullptr);
  ~TSMFKDialog() override;

  // Message boxes and the file dialog; tests answer them instead.
  struct Prompts {
    std::function<void(const QString& text)> message;
    std::function<QString()> browse;  // the chosen path, empty when cancelled
  };
  void setPrompts(Prompts prompts) { prompts_ = std::move(prompts); }

  // The buttons' work.
  void browse();
  void convert();
  void abort();

  QComboBox* configurations() const { return configurations_; }
  QCheckBox* playConverted() const { return playConverted_; }
  QProgressBar* progress() const { return progress_; }
  QPushButton* convertButton() const { return convertButton_; }
  QPushButton* abortButton() const { return abortButton_; }

 signals:
  // The user (or a successful conversion) changed "Play a converted file".
  void playConvertedChanged(bool on);

 private:
  struct OwnerLink;
  static void post(void* context, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);
  void receive(int generation, std::uintptr_t what, std::intptr_t value);
  void conversionEnded(std::int32_t result);
  void dropWorker();
  void setRunning(bool running);
  void showMessage(const QString& text);
  void listConfigurations();

  core::smfk::SmfkLibrary& library_;
  SmfkSong song_;
  SmfkPlaces places_;
  Prompts prompts_;
  QComboBox* configurations_ = nullptr;
  QCheckBox* playConverted_ = nullptr;
  QProgressBar* progress_ = nullptr;
  QPushButton* convertButton_ = nullptr;
  QPushButton* abortButton_ = nullptr;
  std::unique_ptr<OwnerLink> link_;
  std::unique_ptr<core::smfk::SmfkWorker> worker_;
  core::smfk::WorkFile rcpSource_;
  int generation_ = 0;
};

}  // namespace volta::shell
