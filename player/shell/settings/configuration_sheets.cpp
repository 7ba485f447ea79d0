#include "player/shell/settings/configuration_sheets.h"

#include "player/core/app/command_ids.h"
#include "player/shell/panel/button_config_page.h"
#include "player/shell/panel/liquid_config_page.h"
#include "player/shell/panel/string_table.h"
#include "player/shell/settings/doc_config_page.h"
#include "player/shell/settings/list_config_page.h"
#include "player/shell/settings/window_config_page.h"
#include "player/shell/settings/wrd_config_page.h"

namespace volta::shell {

namespace {

template <typename Page>
SheetPage make(int language) {
  return SheetPage::of(new Page(language));
}

}  // namespace

std::vector<PageMaker> configurationPages() {
  return {make<TWindowConfigDialog>};
}

std::vector<PageMaker> windowConfigurationPages() {
  return {make<TWindowConfigDialog>, make<TListConfigDialog>,   make<TDocConfigDialog>,
          make<TWRDConfigDialog>,    make<TLiquidConfigDialog>, make<TButtonConfigDialog>};
}

std::unique_ptr<TPropertySheet> makeConfigurationSheet(int command, int language,
                                                       platform::settings::SettingsStore& store, QWidget* parent) {
  int caption = 0;
  std::vector<PageMaker> pages;
  if (command == app::cmd::kConfiguration) {
    caption = text_id::kConfigurationCaption;
    pages = configurationPages();
  } else if (command == app::cmd::kWindowConfiguration) {
    caption = text_id::kWindowConfigurationCaption;
    pages = windowConfigurationPages();
  } else {
    return nullptr;
  }
  auto sheet = std::make_unique<TPropertySheet>(QString::fromUtf8(text(caption, language)), store, parent);
  for (const PageMaker& page : pages)
    sheet->addPage(page(language));
  return sheet;
}

}  // namespace volta::shell
