#pragma once
// The "File extenstion" page of the configuration: which file types the desktop opens
// with the player, and the descriptions of the player's own types. OK registers the
// checked types for the user and takes back the unchecked ones (only where the desktop
// names this player); "Remove all" takes back everything of ours at once.

#include <QWidget>
#include <array>
#include <set>
#include <string>

#include "platform/desktop/file_associations.h"
#include "platform/settings/settings_store.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace volta::shell {

class TRegistExtDialog : public QWidget {
  Q_OBJECT

 public:
  // The associations of the user's XDG folders for the running program by default.
  explicit TRegistExtDialog(int language, QWidget* parent = nullptr);
  TRegistExtDialog(int language, platform::desktop::FileAssociations associations, QWidget* parent = nullptr);

  // The descriptions from the settings, the boxes from the desktop's defaults.
  void read(const platform::settings::SettingsStore& store);
  // Keeps the descriptions and, when the choice or a description changed, registers the
  // checked types and takes back the others. False when that failed (error() says why).
  bool write(platform::settings::SettingsStore& store) const;

  // Takes back every association of ours now and unchecks the boxes; false on failure.
  bool removeAll();

  std::set<std::string> chosenTypes() const;
  void setChosenTypes(const std::set<std::string>& types);
  platform::desktop::Descriptions descriptions() const;
  void setDescriptions(const platform::desktop::Descriptions& descriptions);
  const std::string& error() const { return associations_.error(); }

 private:
  void build(int language);
  // Shows what went wrong on the page itself (or clears it); passes `ok` on.
  bool report(bool ok) const;

  mutable platform::desktop::FileAssociations associations_;
  std::array<QCheckBox*, platform::desktop::kFileTypes.size()> boxes_{};
  std::array<QLineEdit*, 3> descriptionEdits_{};
  QLabel* problem_ = nullptr;
  // What read() found, so that an unchanged page leaves the desktop alone.
  std::set<std::string> readTypes_;
  platform::desktop::Descriptions readDescriptions_;
};

}  // namespace volta::shell
