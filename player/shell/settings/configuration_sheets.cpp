#include "player/shell/settings/configuration_sheets.h"

#include <algorithm>
#include <iterator>

#include "player/core/app/command_ids.h"
#include "player/shell/desktop/regist_ext_page.h"
#include "player/shell/keys/key_config_page.h"
#include "player/shell/panel/button_config_page.h"
#include "player/shell/panel/liquid_config_page.h"
#include "player/shell/panel/smfk_config_page.h"
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
  return {make<TWindowConfigDialog>, make<TKeyConfigDialog>, make<TRegistExtDialog>, make<TSMFKConfigDialog>};
}

std::vector<PageMaker> windowConfigurationPages() {
  return {make<TWindowConfigDialog>, make<TListConfigDialog>,   make<TDocConfigDialog>,
          make<TWRDConfigDialog>,    make<TLiquidConfigDialog>, make<TButtonConfigDialog>};
}

std::unique_ptr<TPropertySheet> makeConfigurationSheet(int command, int language,
                                                       platform::settings::SettingsStore& store, QWidget* parent) {
  struct Sheet {
    int command;
    int caption;
    std::vector<PageMaker> (*pages)();
  };
  static constexpr Sheet kSheets[] = {
      {app::cmd::kConfiguration, text_id::kConfigurationCaption, configurationPages},
      {app::cmd::kWindowConfiguration, text_id::kWindowConfigurationCaption, windowConfigurationPages}};
  const auto* found = std::find_if(std::begin(kSheets), std::end(kSheets),
                                   [command](const Sheet& sheet) { return sheet.command == command; });
  if (found == std::end(kSheets)) return nullptr;
  auto sheet = std::make_unique<TPropertySheet>(QString::fromUtf8(text(found->caption, language)), store, parent);
  for (const PageMaker& page : found->pages())
    sheet->addPage(page(language));
  return sheet;
}

}  // namespace volta::shell
