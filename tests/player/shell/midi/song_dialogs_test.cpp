// A song's properties and module: what the dialogs show of the song and its TDF file,
// and the TDF file they write on OK (beside a plain song, or in the member's section
// beside an archive).

#include "player/shell/midi/song_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "player/core/builtin_definitions.h"
#include "player/core/song_tdf.h"
#include "player/shell/panel/language.h"
#include "tests/support/test_support.h"

namespace volta::shell {
namespace {

const core::TINICritical& definitions() {
  static core::TINICritical store;
  static const bool loaded = (core::loadBuiltInDefinitions(store), true);
  (void)loaded;
  return store;
}

core::MIDIFile entryFor(const std::filesystem::path& song) {
  core::MIDIFile entry;
  entry.fileName = song.string();
  entry.title = "Song \x83\x65\x83\x58\x83\x67";  // "Song テスト" in CP932
  entry.lengthMs = 125'400;
  entry.wrdState = 2;
  return entry;
}

TEST(SongProperties, ShowsTheSongAndWritesItsTdfFile) {
  test::TempDir dir;
  const auto song = dir / "tune.mid";
  test::writeFile(song, std::vector<std::uint8_t>{});
  TSongPropertiesDialog dialog(entryFor(song), song, definitions(), kEnglish);
  EXPECT_EQ(dialog.windowTitle(), QString::fromUtf8("Song テスト"));
  EXPECT_EQ(lengthText(125'400), "02:05");
  EXPECT_EQ(dialog.portAssignBox()->count(), 4);
  EXPECT_EQ(dialog.portAssignBox()->itemText(2), "TRACK1-16 A-PORT, TRACK17- B-PORT");
  EXPECT_EQ(dialog.moduleLabel()->text(), "Auto");

  dialog.portAssignBox()->setCurrentIndex(2);
  dialog.setModule("SC-88");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(dialog.entry().portAssignType, 2);
  const auto stored = core::readSongTdf(song, {}, {}, 31);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->moduleName, "SC-88");
  EXPECT_EQ(stored->portAssignType, 2);

  // Opened again, the dialog starts from the file.
  TSongPropertiesDialog again(entryFor(song), song, definitions(), kEnglish);
  EXPECT_EQ(again.portAssignBox()->currentIndex(), 2);
  EXPECT_EQ(again.moduleLabel()->text(), "SC-88");
}

TEST(SongProperties, AnArchiveMemberKeepsItsValuesInItsOwnSection) {
  test::TempDir dir;
  const auto archive = dir / "songs.lzh";
  test::writeFile(archive, std::vector<std::uint8_t>{});
  core::MIDIFile entry = entryFor(archive);
  entry.archiveMember = "A.MID";
  TSongPropertiesDialog dialog(entry, archive, definitions(), kEnglish);
  dialog.portAssignBox()->setCurrentIndex(3);
  ASSERT_TRUE(dialog.save());
  const auto member = core::readSongTdf(archive, "A.MID", {}, 31);
  ASSERT_TRUE(member.has_value());
  EXPECT_EQ(member->portAssignType, 3);
  EXPECT_EQ(core::readSongTdf(archive, {}, {}, 31)->portAssignType, 0);  // the plain sections are untouched
}

TEST(SongProperties, AFileThatCannotBeWrittenKeepsTheDialogOpen) {
  test::TempDir dir;
  const auto song = dir / "missing" / "tune.mid";  // its folder does not exist
  TSongPropertiesDialog dialog(entryFor(song), song, definitions(), kEnglish);
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
}

TEST(TdfDialog, OffersAutoAndTheSongModules) {
  TTdfDialog dialog(definitions(), "sc-55", kEnglish);
  QListWidget& list = *dialog.list();
  EXPECT_EQ(list.item(0)->text(), "Auto");
  EXPECT_GT(list.count(), 5);
  EXPECT_EQ(dialog.module(), "SC-55");  // opened at the entry's module, found without case
  list.setCurrentRow(0);
  EXPECT_EQ(dialog.module(), "");
  TTdfDialog unknown(definitions(), "NoSuchModule", kEnglish);
  EXPECT_EQ(unknown.list()->currentRow(), 0);
}

}  // namespace
}  // namespace volta::shell
