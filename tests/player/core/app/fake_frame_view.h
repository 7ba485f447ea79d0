#pragma once
// A frame view that records what the controller shows and answers dialogs from
// queues the test fills.

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "player/core/app/frame_view.h"
#include "player/core/playlist/playlist.h"

namespace volta::app::test {

class FakeFrameView : public FrameView {
 public:
  void setWindowTitle(const std::string& utf8) override { title = utf8; }
  void setListFrameTitle(const std::string& utf8) override { listTitle = utf8; }
  void setPanelText(int item, const std::string& utf8) override { panel[item] = utf8; }
  void setPanelLamp(int item, bool lit) override { lamps[item] = lit; }
  void setBackLight(const monitor::Palette& palette) override { backLight = palette; }
  void resetMonitor() override { ++monitorResets; }
  void animate() override { ++animations; }
  void updateLcd() override {}
  void armTimer(int id, int ms) override {
    timers[id] = ms;
    if (id == kDisplayTimer && ms == 10) ++songStarts;
  }
  void killTimer(int id) override { timers.erase(id); }
  void showPane(int p) override { pane = p; }
  void showFrame(int p, bool visible) override { frames[p] = visible; }
  bool setFullScreen(bool on) override {
    fullScreen = on;
    return true;
  }
  void activateMainWindow() override { ++activations; }
  bool mainWindowMinimized() const override { return minimized; }
  void commandsChanged() override {}
  void refreshList() override { ++listRefreshes; }
  void refreshRow(int position) override { refreshedRows.push_back(position); }
  void setListHeaders(const std::string& titleHeader, const std::string& fileHeader) override {
    headers = {titleHeader, fileHeader};
  }
  void showRow(int position) override { shownRow = position; }
  int selectedRow() const override { return selected; }
  void setSliderRange(int maximum) override { sliderRange = maximum; }
  void setSlider(int value) override { slider = value; }
  void setDocumentText(const std::string* bytes) override { document = bytes ? std::optional(*bytes) : std::nullopt; }
  void setWrdDebugText(const std::string* bytes) override { script = bytes ? std::optional(*bytes) : std::nullopt; }
  void setWrdDebugCursor(std::size_t offset) override { scriptCursor = offset; }
  void message(const std::string& caption, const std::string& utf8) override {
    messages.push_back(caption + ": " + utf8);
  }
  Answer ask(const std::string& caption, const std::string& utf8, Buttons) override {
    questions.push_back(caption + ": " + utf8);
    if (answers.empty()) return Answer::kCancel;
    const Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  FileDialogResult askOpenFile(const FileDialogRequest& request) override { return dialog(request); }
  FileDialogResult askFolder(const FileDialogRequest& request) override { return dialog(request); }
  FileDialogResult askSaveFile(const FileDialogRequest& request) override { return dialog(request); }
  std::optional<std::vector<core::MIDIFile>> editList(const ListEditRequest& request) override {
    editedEntries = request.list.files;
    editStart = request.startFolder;
    editWave = request.waveEnabled;
    ++edits;
    if (duringEdit) duringEdit();
    return editListAnswer;
  }
  std::optional<std::vector<std::string>> editAlbum(const std::vector<std::string>&) override { return albumAnswer; }
  void launchFileBrowser(const std::string& folder) override { browsed = folder; }
  void quit() override { quitAsked = true; }

  std::string panelText(int item) const {
    const auto found = panel.find(item);
    return found == panel.end() ? std::string() : found->second;
  }
  bool lamp(int item) const {
    const auto found = lamps.find(item);
    return found != lamps.end() && found->second;
  }
  std::optional<int> timer(int id) const {
    const auto found = timers.find(id);
    return found == timers.end() ? std::nullopt : std::optional(found->second);
  }

  std::string title, listTitle;
  std::map<int, std::string> panel;
  std::map<int, bool> lamps;
  std::map<int, int> timers;
  std::map<int, bool> frames;
  int songStarts = 0, monitorResets = 0, animations = 0, activations = 0, listRefreshes = 0;
  std::optional<monitor::Palette> backLight;
  int pane = -2;
  bool fullScreen = false, minimized = false;
  int shownRow = -1, selected = -1;
  int sliderRange = 0, slider = 0;
  std::vector<int> refreshedRows;
  std::pair<std::string, std::string> headers;
  std::optional<std::string> document, script;
  std::size_t scriptCursor = 0;
  std::vector<std::string> messages, questions;
  std::deque<Answer> answers;
  std::deque<FileDialogResult> dialogAnswers;
  std::vector<FileDialogRequest> dialogRequests;
  std::optional<std::vector<core::MIDIFile>> editListAnswer;  // the dialog's OK with these entries
  std::vector<core::MIDIFile> editedEntries;                  // what the dialog was given
  std::string editStart;
  bool editWave = false;
  int edits = 0;
  std::function<void()> duringEdit;  // what happens while the dialog is open
  std::optional<std::vector<std::string>> albumAnswer;
  std::string browsed;
  bool quitAsked = false;

 private:
  FileDialogResult dialog(const FileDialogRequest& request) {
    dialogRequests.push_back(request);
    if (dialogAnswers.empty()) return {std::nullopt, request.startFolder};
    FileDialogResult answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    return answer;
  }
};

}  // namespace volta::app::test
