#include "player/shell/panel/command_texts.h"

#include <algorithm>
#include <array>

#include "player/shell/panel/commands.h"

namespace volta::shell {
namespace {

using namespace cmd;

constexpr bool kCheck = true;

constexpr std::array kCommands{
    CommandText{kOpenFile, "ファイルを開く(&O)", "&Open a file"},
    CommandText{kOpenFolder, "フォルダを開く(&F)", "Open a &folder"},
    CommandText{kNewRelativeList, ".TOR(相対パス)", ".TOR(relative path)"},
    CommandText{kNewAbsoluteList, ".TO2(絶対パス)", ".TO2(absolute path)"},
    CommandText{kEditList, "リストを編集(&D)", "E&dit a list"},
    CommandText{kSaveList, "リストを上書き保存(&S)", "&Save a list"},
    CommandText{kSaveListAs, "リストをファイル名を付けて保存(&A)", "Save &as a list"},
    CommandText{kCloseList, "リストを閉じる(&C)", "&Close a list"},
    CommandText{kLaunchExplorer, "エクスプローラ起動(&E)", "Launch &explorer"},
    CommandText{kExit, "終了(&X)", "E&xit"},
    CommandText{kAlbumPlaceholder, "DUMMY", "DUMMY"},
    CommandText{kAlbumEdit, "編集(&A)...", "&Edit..."},
    CommandText{kAlbumAddList, "現在のリストを追加(&N)", "Add &the list."},
    CommandText{kOrderNormal, "通常の順番(&N)", "&Normal order", kCheck},
    CommandText{kOrderRandom, "ランダム(&R)", "&Random", kCheck},
    CommandText{kOrderFileName, "ファイル名順(&F)", "By &file name", kCheck},
    CommandText{kOrderTitle, "タイトル順(&T)", "By &title", kCheck},
    CommandText{kSinglePlay, "単曲演奏(&S)", "&Single play", kCheck},
    CommandText{kSingleRepeat, "単曲リピート(&E)", "Single r&epeat", kCheck},
    CommandText{kRepeat, "リピート(&P)", "Re&peat", kCheck},
    CommandText{kTemplate1, "テンプレート&1", "Template &1", kCheck},
    CommandText{kTemplate2, "テンプレート&2", "Template &2", kCheck},
    CommandText{kTemplate3, "テンプレート&3", "Template &3", kCheck},
    CommandText{kTemplate4, "テンプレート&4", "Template &4", kCheck},
    CommandText{kTemplateOff, "使用しない(&O)", "&Off", kCheck},
    CommandText{kPaneWrd, "WRD画面(&W)", "&WRD screen", kCheck},
    CommandText{kPaneDocument, "ドキュメント閲覧(&D)", "&Document", kCheck},
    CommandText{kPaneList, "曲順リスト(&L)", "Order &list", kCheck},
    CommandText{kPaneMonitor, "演奏モニタ(&O)", "M&onitor", kCheck},
    CommandText{kPaneWrdDebug, "WRDデバッグウィンドウ(&G)", "WRD debu&g window", kCheck},
    CommandText{kMini, "小型化(&M)", "&Minimize"},
    CommandText{kFullScreen, "フルスクリーン", "Full screen"},
    CommandText{kNextPage, "次のページ", "Next page"},
    CommandText{kPreviousPage, "前のページ", "Previous page"},
    CommandText{kMenuBar, "&メニューバー", "&Menu bar"},
    CommandText{kLanguage, "&English", "&Japanese"},
    CommandText{kConfiguration, "環境設定(&C)...", "&Configuration..."},
    CommandText{kWindowConfiguration, "ウィンドウ設定(&I)...", "W&indow configuration..."},
    CommandText{kMidiSetting, "MIDI演奏の設定(&S)...", "MIDI &setting..."},
    CommandText{kPortTemplates, "ポートテンプレート(&T)...", "Port &templates..."},
    CommandText{kBenchmark, "WRDベンチマーク", "WRD benchmark"},
    CommandText{kDisableWrd, "WRD表示停止(&W)", "Disable &WRD"},
    CommandText{kMidiThru, "MIDI THRU(&R)", "MIDI TH&RU"},
    CommandText{kSmfKnife, "SMFナイフ(&K)...", "SMF &Knife..."},
    CommandText{kHelpContents, "目次(&C)", "&Contents"},
    CommandText{kHelpContentsWinHelp, "目次 - ヘルプ(&H)", "Contents (&help viewer)"},
    CommandText{kFaq, "FAQ(&F)", "&FAQ"},
    CommandText{kAbout, "バージョン情報(&A)...", "&About VOLTA Player..."},
    CommandText{kPlay, "演奏(&P)", "&Play"},
    CommandText{kStop, "停止(&S)", "&Stop"},
    CommandText{kPause, "一時停止(&U)", "Pa&use"},
    CommandText{kPlayPause, "演奏/一時停止", "Play/Pause"},
    CommandText{kNext, "次の曲(&N)", "&Next"},
    CommandText{kPrevious, "前の曲(&B)", "Pre&vious"},
    CommandText{kFast, "早送り(&F)", "&Fast"},
    CommandText{kSlow, "スロー(&L)", "S&low"},
};

}  // namespace

std::span<const CommandText> commandTexts() {
  return kCommands;
}

const CommandText* findCommand(int id) {
  const auto* found = std::ranges::find(kCommands, id, &CommandText::id);
  return found == kCommands.end() ? nullptr : found;
}

std::string_view commandText(int id, int language) {
  const CommandText* command = findCommand(id);
  if (!command) return {};
  return language == kJapanese ? command->japanese : command->english;
}

std::string plainCommandName(int id, int language) {
  std::string_view text = commandText(id, language);
  if (const auto accelerator = text.find("(&"); accelerator != std::string_view::npos && accelerator > 0) {
    text = text.substr(0, accelerator);
  }
  if (text.ends_with("...")) text.remove_suffix(3);
  std::string name;
  for (char c : text) {
    if (c != '&') name += c;
  }
  while (!name.empty() && name.back() == ' ')
    name.pop_back();
  return name;
}

}  // namespace volta::shell
