#pragma once
// The two general property sheets and the pages each holds:
// "Configuration" (command 2000): Window/other, then the keys, file types and SMF Knife pages;
// "Window Configuration" (2016): Window/other, List, Document, WRD, Like liquid, Buttons.
// A page delivered later is one more PageMaker in its sheet's list, and another sheet
// (a command, a caption and its list) one more row of the table in makeConfigurationSheet.

#include <memory>
#include <vector>

#include "player/shell/settings/property_sheet.h"

namespace volta::shell {

std::vector<PageMaker> configurationPages();
std::vector<PageMaker> windowConfigurationPages();

// The sheet of a configuration command (2000 or 2016) in the texts' language; null for another.
std::unique_ptr<TPropertySheet> makeConfigurationSheet(int command, int language,
                                                       platform::settings::SettingsStore& store,
                                                       QWidget* parent = nullptr);

}  // namespace volta::shell
