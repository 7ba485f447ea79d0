#pragma once
// Command identifiers of the main window: menu items, buttons, keys and remote
// commands all route to these numbers, and the key and button settings store them.
// The menus and the controller both take them from here.

namespace volta::app::cmd {

// File
inline constexpr int kOpenFile = 1000, kOpenFolder = 1002, kNewRelativeList = 1004, kEditList = 1006, kSaveList = 1010,
                     kCloseList = 1012, kLaunchExplorer = 1014, kExit = 1016, kNewAbsoluteList = 1018,
                     kSaveListAs = 1020;
// History items: kHistoryFirst + entry index (0..9).
inline constexpr int kHistoryFirst = 1100, kHistoryCount = 10, kHistoryLast = kHistoryFirst + kHistoryCount - 1;
// Album: placeholder, edit, add the current list, items kAlbumFirst + index; the menu
// stops at kAlbumLast so that its items never take another command's number.
inline constexpr int kAlbumPlaceholder = 299, kAlbumEdit = 300, kAlbumAddList = 301, kAlbumFirst = 310,
                     kAlbumLast = 999;
// Play order and modes
inline constexpr int kOrderNormal = 4000, kOrderRandom = 4002, kOrderFileName = 4004, kOrderTitle = 4006,
                     kSinglePlay = 4008, kSingleRepeat = 4010, kRepeat = 9012;
// Port templates 1..4 (two apart) and off
inline constexpr int kTemplate1 = 4012, kTemplate2 = 4014, kTemplate3 = 4016, kTemplate4 = 4018, kTemplateOff = 4020;
// Panes and window modes
inline constexpr int kPaneWrd = 9018, kPaneDocument = 9020, kPaneList = 9022, kPaneMonitor = 9024, kPaneWrdDebug = 9030,
                     kMini = 9016, kFullScreen = 9014, kNextPage = 9920, kPreviousPage = 9922, kMenuBar = 9928,
                     kLanguage = 9926;
// Settings and tools
inline constexpr int kConfiguration = 2000, kBenchmark = 2002, kMidiSetting = 2008, kDisableWrd = 2010,
                     kMidiThru = 2012, kSmfKnife = 2014, kWindowConfiguration = 2016, kPortTemplates = 2018;
// Help
inline constexpr int kAbout = 3000, kHelpContents = 3002, kHelpContentsWinHelp = 3004, kFaq = 3006;
// Playing
inline constexpr int kStop = 9000, kPause = 9002, kPlay = 9004, kFast = 9006, kPrevious = 9008, kNext = 9010,
                     kSlow = 9026, kPlayPause = 9916;
// Keys and the tray icon: debugging aids, engine re-initialisation, wave playing, the tray's own commands
inline constexpr int kWrdPalette = 9800, kWrdPaletteWhite = 9801, kWrdGraphics = 9802, kWrdText = 9803,
                     kWrdPageFirst = 9810, kWrdPageLast = 9818, kWrdLog = 9900, kReinitialiseWithReset = 9902,
                     kEnableWave = 9904, kBarMode = 9906, kTrayMenu = 9910, kTrayRestore = 9912,
                     kReinitialiseWithoutReset = 9914, kNothing = 9918, kWrdLines = 9924;

}  // namespace volta::app::cmd
