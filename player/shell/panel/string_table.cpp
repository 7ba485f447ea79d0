#include "player/shell/panel/string_table.h"

#include <algorithm>
#include <array>

#include "platform/text.h"

namespace volta::shell {
namespace {

using namespace text_id;

// Texts shown the same in both languages are listed twice, so every identifier answers.
constexpr std::array kTexts{
    TextPair{kErrorCaption, "VOLTA error report", "VOLTA error report"},
    TextPair{kOpenCaption, "Open...", "Open..."},
    TextPair{kChooseFolder, "Choose a folder", "Choose a folder"},
    TextPair{kSaveListCaption, "リストのセーブ", "Save the list"},
    TextPair{kAlbumDialogCaption, "アルバム編集 - VOLTA Player", "Album editing - VOLTA Player"},
    TextPair{kAlbumFileCaption, "Album - VOLTA Player", "Album - VOLTA Player"},
    TextPair{kDropErrorCaption, "VOLTAApplication::Drop error", "VOLTAApplication::Drop error"},
    TextPair{kWrdPaneCaption, "WRD画面 - VOLTA Player", "WRD screen - VOLTA Player"},
    TextPair{kDocumentPaneCaption, "ドキュメント閲覧 - VOLTA Player", "Document - VOLTA Player"},
    TextPair{kListPaneCaption, "曲順リスト - VOLTA Player", "Order list - VOLTA Player"},
    TextPair{kMonitorPaneCaption, "演奏モニタ - VOLTA Player", "Performance monitor - VOLTA Player"},
    TextPair{kWrdDebugPaneCaption, "WRDデバッグウィンドウ - VOLTA Player", "WRD debug window - VOLTA Player"},
    TextPair{kConfigurationCaption, "Configuration", "Configuration"},
    TextPair{kWindowConfigurationCaption, "Window Configuration", "Window Configuration"},
    TextPair{kMidiSettingCaption, "MIDI setting", "MIDI setting"},
    TextPair{kProgramName, "VOLTA Player", "VOLTA Player"},
    TextPair{kAboutCaption, "バージョン情報 - VOLTA Player", "About VOLTA Player"},

    TextPair{kOpenFilterWithWave,
             "MIDI/WAVE/LZH/LISTファイル|*.rcp *.r36 *.g18 *.g36 *.mid *.mff *.smf *.rmi *.wav *.lzh *.tor *.to2 "
             "*.myp *.wrd *.dv|すべてのファイル|*|",
             "MIDI/WAVE/LZH/LIST files|*.rcp *.r36 *.g18 *.g36 *.mid *.mff *.smf *.rmi *.wav *.lzh *.tor *.to2 "
             "*.myp *.wrd *.dv|All files|*|"},
    TextPair{kOpenFilter,
             "MIDI/LZH/LISTファイル|*.rcp *.r36 *.g18 *.g36 *.mid *.mff *.smf *.rmi *.lzh *.tor *.to2 *.myp *.wrd "
             "*.dv|すべてのファイル|*|",
             "MIDI/LZH/LIST files|*.rcp *.r36 *.g18 *.g36 *.mid *.mff *.smf *.rmi *.lzh *.tor *.to2 *.myp *.wrd "
             "*.dv|All files|*|"},
    TextPair{kTorFilter, "リストファイル|*.TOR|", "List files|*.TOR|"},
    TextPair{kTo2Filter, "リストファイル|*.TO2|", "List files|*.TO2|"},
    TextPair{kAlbumFilter, "VOLTA List file(*.TOR,*.TO2)|*.TOR;*.TO2|", "VOLTA List file(*.TOR,*.TO2)|*.TOR;*.TO2|"},

    TextPair{kNoSongs, "ERROR: 曲がありません", "ERROR: No songs"},
    TextPair{kNoMidiFile, "MIDIファイルがありません", "There is no MIDI file"},
    TextPair{kFinished, "終了しました", "Finished"},
    TextPair{kListReadFailed, "の読み出しに失敗しました。", " could not be read."},
    TextPair{kListSaveFailed, " のセーブに失敗しました。", " could not be saved."},
    TextPair{kListFileSaveFailed, "リストファイルのセーブに失敗しました", "The list file could not be saved"},
    TextPair{kSaveChangedList, "リストファイルが変更されています。セーブしますか",
             "The list file has been changed. Save it?"},
    TextPair{kDropOutsideBase, "基本フォルダ以下のファイルしか登録できません。リストファイルをとじますか？",
             "Only files below the base folder can be added. Close the list file?"},
    TextPair{kDropIgnored, "ドロップされたファイルは無視されました。", "The dropped files were ignored."},
    TextPair{kAlbumAdded, "追加しました。", "Added."},
    TextPair{kSeeking, "Seeking...", "Seeking..."},
    TextPair{kScanningLength, "Scanning length...", "Scanning length..."},
    TextPair{kRcpConverting, "RCP converting %2d%%", "RCP converting %2d%%"},
    TextPair{kSmfkConverting, "SMFK converting %2d%%", "SMFK converting %2d%%"},
    TextPair{kNoCommonControls, "Cannot load a COMCTL32.DLL. Some functions is not available.",
             "Cannot load a COMCTL32.DLL. Some functions is not available."},
    TextPair{kUntitled, "Untitled !!", "Untitled !!"},
    TextPair{kAutoModule, "Auto", "Auto"},
    TextPair{kArchiveColumn, "LZH", "LZH"},
    TextPair{kInternalError, "Internal ERROR!!", "Internal ERROR!!"},

    TextPair{kTitleList, "<LIST> ", "<LIST> "},
    TextPair{kTitleChanged, "<Changed> ", "<Changed> "},
    TextPair{kTitleNew, "<New> ", "<New> "},
    TextPair{kTitleRandom, " [RANDOM]", " [RANDOM]"},
    TextPair{kTitlePlay, " [PLAY]", " [PLAY]"},
    TextPair{kTitlePause, " [PAUSE]", " [PAUSE]"},
    TextPair{kTitleSelecting, " [Selecting]", " [Selecting]"},
    TextPair{kTitleOrderList, "(Order list)", "(Order list)"},
    TextPair{kTitleSpeedTimes, " [x%d]", " [x%d]"},
    TextPair{kTitleSpeedFraction, " [x1/%d]", " [x1/%d]"},
    TextPair{kTitleSpeedThreeQuarters, " [x0.75]", " [x0.75]"},
    TextPair{kTitleSpeedOneAndHalf, " [x1.5]", " [x1.5]"},

    TextPair{kColumnTitle, "Title", "Title"},
    TextPair{kColumnFileName, "File name", "File name"},
    TextPair{kColumnLength, "Length", "Length"},
    TextPair{kColumnArchive, "LZH", "LZH"},
    TextPair{kColumnModule, "Module", "Module"},
    TextPair{kHeaderTitleRandom, "Title (Random order)", "Title (Random order)"},
    TextPair{kHeaderFileNameAlphabetic, "File name (alphabetic)", "File name (alphabetic)"},
    TextPair{kHeaderFileNameReverse, "File name (reverse)", "File name (reverse)"},
    TextPair{kHeaderTitleAlphabetic, "Title (alphabetic)", "Title (alphabetic)"},
    TextPair{kHeaderTitleReverse, "Title (reverse)", "Title (reverse)"},

    TextPair{kPageWindow, "ウィンドウ設定", "Window, other"},
    TextPair{kPageList, "リストウィンドウ", "List"},
    TextPair{kPageDocument, "ドキュメントウィンドウ", "Document"},
    TextPair{kPageWrd, "WRD設定", "WRD"},
    TextPair{kPageLiquid, "液晶設定", "Like liquid"},
    TextPair{kPageButtons, "ボタンカスタマイズ", "Buttons"},
    TextPair{kPageKeys, "キーカスタマイズ", "Key configuration"},
    TextPair{kPageFileTypes, "ファイル登録", "File extenstion"},
    TextPair{kPageSmfKnife, "SMFナイフ", "SMF Knife"},
    TextPair{kPageSequencer, "MIDI演奏の設定", "Sequencer"},
    TextPair{kPagePorts, "ポート", "Ports"},
    TextPair{kPageGeneral, "全般", "General"},

    TextPair{kOrange, "オレンジ", "Orange"},
    TextPair{kLightGreen, "ライトグリーン", "Light green"},
    TextPair{kEmeraldGreen, "エメラルドグリーン", "Emerald green"},
    TextPair{kBlack, "黒", "Black"},
    TextPair{kAutoBackLight, "自動切り替え(対象モジュールに依存)", "Auto change (depend on target module)"},
    TextPair{kBrightness, "明るさ", "Brightness"},

    TextPair{kVersion, "Version 2.3 rel.11", "Version 2.3 rel.11"},
    TextPair{kDisplayDepth, "全画面表示: 使用可能 %d bpp", "Full screen: available, %d bpp"},
    TextPair{kDisplayMissing, "全画面表示: 使用できません", "Full screen: not available"},
    TextPair{kLzhVersion, "LZH書庫ライブラリ Ver.%d.%d", "LZH archive library Ver.%d.%d"},
    TextPair{kSmfKnifeVersion, "SMFナイフ Ver.%d.%d", "SMF Knife Ver.%d.%d"},
    TextPair{kDvVersion, "DV変換ライブラリ Ver.%d.%d %s", "DV converter Ver.%d.%d %s"},
    TextPair{kEngineDescription, "演奏エンジン: %s", "Sequence engine: %s"},
    TextPair{kLibraryMissing, "%s: ありません", "%s: not found"},

    TextPair{kScreenMode, "%dx%d %s", "%dx%d %s"},
    TextPair{k256Colours, "256 colors", "256 colors"},
    TextPair{k32kColours, "32k colors", "32k colors"},
    TextPair{k64kColours, "64k colors", "64k colors"},
    TextPair{kTrueColour24, "TrueColor(24bit)", "TrueColor(24bit)"},
    TextPair{kTrueColour32, "TrueColor(32bit)", "TrueColor(32bit)"},
    TextPair{kUnknownColours, "????", "????"},

    TextPair{kMidiPort, "MIDI Port ", "MIDI Port "},
    TextPair{kSynthesizer, "Synthsizer ", "Synthsizer "},
    TextPair{kSquareWave, "Square wave ", "Square wave "},
    TextPair{kFmSynthesizer, "FM Synthesizer ", "FM Synthesizer "},
    TextPair{kMidiMapper, "MIDI Mapper ", "MIDI Mapper "},
    TextPair{kVoices, "Voices:%d ", "Voices:%d "},
    TextPair{kStreamSupported, "Stream supported ", "Stream supported "},
    TextPair{kUnknownDevice, "Unknown device", "Unknown device"},
    TextPair{kMilliseconds, "%d ms", "%d ms"},

    TextPair{kDocumentFont, "ＭＳ ゴシック", "Courier New"},
    TextPair{kListFont, "ＭＳ Ｐゴシック", "MS Sans Serif"},
};

// File names on this system match case-sensitively, while the patterns come from a
// system where they did not: each pattern is offered in lower and upper case.
std::string bothCasePatterns(std::string_view patterns) {
  std::string result;
  std::size_t start = 0;
  while (start < patterns.size()) {
    const auto end = std::min(patterns.find_first_of(" ;", start), patterns.size());
    const std::string_view pattern = patterns.substr(start, end - start);
    start = end + 1;
    if (pattern.empty()) continue;
    const std::string lower = platform::text::lowerAscii(pattern), upper = platform::text::upperAscii(pattern);
    result.append(result.empty() ? "" : " ").append(lower);
    if (upper != lower) result.append(" ").append(upper);
  }
  return result;
}

}  // namespace

std::span<const TextPair> textPairs() {
  return kTexts;
}

std::string_view text(int id, int language) {
  const int entry = id + language;
  const int even = entry & ~1;
  const auto* found = std::ranges::find(kTexts, even, &TextPair::id);
  if (found == kTexts.end()) return {};
  return entry == even ? found->japanese : found->english;
}

std::string qtFileFilter(std::string_view filter) {
  std::string result;
  while (!filter.empty()) {
    const auto descriptionEnd = filter.find('|');
    if (descriptionEnd == std::string_view::npos) break;
    const auto patternsEnd = filter.find('|', descriptionEnd + 1);
    if (!result.empty()) result += ";;";
    result.append(filter.substr(0, descriptionEnd)).append(" (");
    result += bothCasePatterns(filter.substr(descriptionEnd + 1, patternsEnd - descriptionEnd - 1));
    result += ')';
    if (patternsEnd == std::string_view::npos) break;
    filter.remove_prefix(patternsEnd + 1);
  }
  return result;
}

}  // namespace volta::shell
