#include "player/shell/midi/midi_template_page.h"

#include <QComboBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "player/shell/midi/port_chooser.h"

namespace volta::shell {

namespace st = platform::settings;

TMidiTemplatePage::TMidiTemplatePage(DeviceLister lister, const core::TINICritical& definitions, int language,
                                     QWidget* parent)
    : QWidget(parent) {
  setWindowTitle(pick(language, "ポートテンプレート", "Port templates"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  choice_ = new QComboBox(this);
  for (int index = 0; index < core::kTemplateCount; ++index)
    choice_->addItem(pick(language, "テンプレート %1", "Template %1").arg(index + 1));
  form->addRow(pick(language, "テンプレート", "Template"), choice_);
  layout->addLayout(form);
  ports_ = new TPortChooser(std::move(lister), definitions, language, this);
  layout->addWidget(ports_);
  layout->addStretch();
  connect(choice_, &QComboBox::currentIndexChanged, this, &TMidiTemplatePage::showTemplate);
}

void TMidiTemplatePage::keepShown() {
  templates_[static_cast<std::size_t>(shown_)] = ports_->value();
}

void TMidiTemplatePage::showTemplate(int index) {
  if (index < 0 || index >= core::kTemplateCount) return;
  keepShown();
  shown_ = index;
  ports_->setTemplate(templates_[static_cast<std::size_t>(index)]);
  const QSignalBlocker quiet(choice_);
  choice_->setCurrentIndex(index);
}

void TMidiTemplatePage::read(const st::SettingsStore& store) {
  for (int index = 0; index < core::kTemplateCount; ++index)
    templates_[static_cast<std::size_t>(index)] = core::MidiTemplate::read(store, index);
  ports_->setTemplate(templates_[static_cast<std::size_t>(shown_)]);
}

bool TMidiTemplatePage::write(st::SettingsStore& store) const {
  auto templates = templates_;
  templates[static_cast<std::size_t>(shown_)] = ports_->value();
  st::SettingsBatch batch;
  for (int index = 0; index < core::kTemplateCount; ++index)
    templates[static_cast<std::size_t>(index)].addTo(batch, index);
  return store.apply(batch);
}

}  // namespace volta::shell
