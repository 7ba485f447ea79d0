#pragma once
// The program's texts. Each exists twice: Japanese under an even identifier and
// English under the next odd one; the language (0 Japanese, 1 English) is added to
// the identifier, so text(id, language) is the entry id + language.

#include <span>
#include <string>
#include <string_view>

#include "player/shell/panel/language.h"

namespace volta::shell {

namespace text_id {
// Captions
inline constexpr int kErrorCaption = 100, kOpenCaption = 102, kChooseFolder = 104, kSaveListCaption = 106,
                     kAlbumDialogCaption = 108, kAlbumFileCaption = 110, kDropErrorCaption = 112, kWrdPaneCaption = 114,
                     kDocumentPaneCaption = 116, kListPaneCaption = 118, kMonitorPaneCaption = 120,
                     kWrdDebugPaneCaption = 122, kConfigurationCaption = 124, kWindowConfigurationCaption = 126,
                     kMidiSettingCaption = 128, kProgramName = 130, kAboutCaption = 132;
// File dialog filters ("description|patterns|" pairs)
inline constexpr int kOpenFilterWithWave = 200, kOpenFilter = 202, kTorFilter = 204, kTo2Filter = 206,
                     kAlbumFilter = 208;
// Messages
inline constexpr int kNoSongs = 300, kNoMidiFile = 302, kFinished = 304, kListReadFailed = 306, kListSaveFailed = 308,
                     kListFileSaveFailed = 310, kSaveChangedList = 312, kDropOutsideBase = 314, kDropIgnored = 316,
                     kAlbumAdded = 318, kSeeking = 320, kScanningLength = 322, kRcpConverting = 324,
                     kSmfkConverting = 326, kNoCommonControls = 328, kUntitled = 330, kAutoModule = 332,
                     kArchiveColumn = 334, kInternalError = 336;
// Window title parts
inline constexpr int kTitleList = 400, kTitleChanged = 402, kTitleNew = 404, kTitleRandom = 406, kTitlePlay = 408,
                     kTitlePause = 410, kTitleSelecting = 412, kTitleOrderList = 414, kTitleSpeedTimes = 416,
                     kTitleSpeedFraction = 418, kTitleSpeedThreeQuarters = 420, kTitleSpeedOneAndHalf = 422;
// List columns and the headers of the play orders
inline constexpr int kColumnTitle = 500, kColumnFileName = 502, kColumnLength = 504, kColumnArchive = 506,
                     kColumnModule = 508, kHeaderTitleRandom = 510, kHeaderFileNameAlphabetic = 512,
                     kHeaderFileNameReverse = 514, kHeaderTitleAlphabetic = 516, kHeaderTitleReverse = 518;
// Configuration pages
inline constexpr int kPageWindow = 600, kPageList = 602, kPageDocument = 604, kPageWrd = 606, kPageLiquid = 608,
                     kPageButtons = 610, kPageKeys = 612, kPageFileTypes = 614, kPageSmfKnife = 616,
                     kPageSequencer = 618, kPagePorts = 620, kPageGeneral = 622;
// Back light page
inline constexpr int kOrange = 700, kLightGreen = 702, kEmeraldGreen = 704, kBlack = 706, kAutoBackLight = 708,
                     kBrightness = 710;
// About box
inline constexpr int kVersion = 800, kDisplayDepth = 802, kDisplayMissing = 804, kLzhVersion = 806,
                     kSmfKnifeVersion = 808, kDvVersion = 810, kEngineDescription = 812, kLibraryMissing = 814;
// WRD page: screen modes
inline constexpr int kScreenMode = 900, k256Colours = 902, k32kColours = 904, k64kColours = 906, kTrueColour24 = 908,
                     kTrueColour32 = 910, kUnknownColours = 912;
// Ports page: the chosen device's description, and times on the MIDI pages
inline constexpr int kMidiPort = 920, kSynthesizer = 922, kSquareWave = 924, kFmSynthesizer = 926, kMidiMapper = 928,
                     kVoices = 930, kStreamSupported = 932, kUnknownDevice = 934, kMilliseconds = 936;
// Default fonts of the document and list windows
inline constexpr int kDocumentFont = 20100, kListFont = 20102;
}  // namespace text_id

struct TextPair {
  int id;  // even
  std::string_view japanese;
  std::string_view english;
};

std::span<const TextPair> textPairs();
// The entry id + language; empty when the table has none.
std::string_view text(int id, int language);

// A filter of "description|patterns|" pairs as Qt file dialogs take it:
// "description (pattern pattern);;...".
std::string qtFileFilter(std::string_view filter);

}  // namespace volta::shell
