#include "player/monitor/status_panel.h"

#include <gtest/gtest.h>

namespace volta::monitor {
namespace {

TEST(LiquidTextModel, NewItemsAreEmptyCentredDigitItems) {
  LiquidTextModel model(3);
  const LiquidText& item = model.item(2);
  EXPECT_EQ(item.kind, 0);
  EXPECT_TRUE(item.rect.empty());
  EXPECT_EQ(item.foreground, 0);
  EXPECT_EQ(item.background, 0);
  EXPECT_EQ(item.text, "");
  EXPECT_TRUE(item.centred);
}

TEST(LiquidTextModel, ChangesReportOnlyRealDifferences) {
  LiquidTextModel model(2);
  EXPECT_TRUE(model.define(0, LiquidText{0, {0, 0, 10, 10}, 2, 1, "12", true}));
  EXPECT_FALSE(model.setText(0, "12"));
  EXPECT_TRUE(model.setText(0, "13"));
  EXPECT_TRUE(model.setText(1, "abc"));
  EXPECT_TRUE(model.setText(1, "ABC"));  // case matters
  EXPECT_FALSE(model.setForeground(0, 2));
  EXPECT_TRUE(model.setForeground(0, 3));
  EXPECT_FALSE(model.setBackground(0, 1));
  EXPECT_TRUE(model.setBackground(0, 2));
  EXPECT_TRUE(model.define(0, model.item(0)));  // define always repaints
  EXPECT_EQ(model.item(0).text, "13");
}

TEST(LiquidTextModel, IndicesOutsideThePanelChangeNothing) {
  LiquidTextModel model(1);
  EXPECT_FALSE(model.define(1, LiquidText{}));
  EXPECT_FALSE(model.setText(5, "x"));
  EXPECT_FALSE(model.setForeground(1, 2));
  EXPECT_FALSE(model.setBackground(1, 2));
  EXPECT_EQ(model.item(9).text, "");
}

TEST(StatusPanel, InitialTextsShowTheSegmentPatterns) {
  LiquidTextModel model(kStatusItemCount);
  defineStatusPanel(model);
  EXPECT_EQ(model.item(item::kTitleLabel).text, "TITLE");
  EXPECT_EQ(model.item(item::kTitle).text, "");
  EXPECT_EQ(model.item(item::kTempo).text, "000");
  EXPECT_EQ(model.item(item::kTime).text, "88:88/88:88");
  EXPECT_EQ(model.item(item::kBar).text, "8888/8888");
  EXPECT_EQ(model.item(item::kBeat).text, "88/88");
  EXPECT_EQ(model.item(item::kTicks).text, "8888/8888");
  EXPECT_EQ(model.item(item::kValue14).text, "88");
  EXPECT_EQ(model.item(item::kModuleName).text, "SC-55mkII  ");
  EXPECT_EQ(model.item(item::kSmfKnife).text, "SMFK");
  const char* lamps[] = {"GS", "GM", "XG", "A", "B", "C", "JAM", "WRD", "DOC"};
  std::size_t lampItems[] = {item::kGs,    item::kGm,  item::kXg,  item::kPortA, item::kPortB,
                             item::kPortC, item::kJam, item::kWrd, item::kDoc};
  for (std::size_t i = 0; i < std::size(lamps); ++i)
    EXPECT_EQ(model.item(lampItems[i]).text, lamps[i]);
}

TEST(StatusPanel, LabelsAreInkOnLightAndLampsLightOnInkWhenLit) {
  LiquidTextModel model(kStatusItemCount);
  defineStatusPanel(model);
  for (std::size_t index : {item::kTitleLabel, item::kTempoLabel, item::kTimeLabel, item::kPortLabel}) {
    EXPECT_EQ(model.item(index).foreground, 2);
    EXPECT_EQ(model.item(index).background, 1);
  }
  EXPECT_EQ(model.item(item::kWrd).foreground, 1);
  EXPECT_EQ(model.item(item::kWrd).background, 3);
  EXPECT_TRUE(setLamp(model, item::kWrd, true));
  EXPECT_EQ(model.item(item::kWrd).background, 2);
  EXPECT_FALSE(setLamp(model, item::kWrd, true));
  EXPECT_FALSE(setLamp(model, item::kTitleLabel, true));  // not a lamp
  EXPECT_EQ(model.item(item::kTitleLabel).background, 1);
}

TEST(StatusPanel, ItemsLieInsideThePanelWithoutOverlapping) {
  const auto items = statusPanelItems();
  for (std::size_t a = 0; a < items.size(); ++a) {
    const PanelRect& r = items[a].rect;
    EXPECT_FALSE(r.empty()) << a;
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
    EXPECT_LE(r.right, kPanelWidth);
    EXPECT_LE(r.bottom, kPanelHeight);
    if (items[a].kind == kDigitFont) {
      EXPECT_GE(r.width(), static_cast<int>(items[a].text.size()) * kDigitWidth) << a;
      EXPECT_GE(r.height(), kDigitHeight) << a;
    }
    for (std::size_t b = a + 1; b < items.size(); ++b) {
      const PanelRect& s = items[b].rect;
      const bool apart = r.right <= s.left || s.right <= r.left || r.bottom <= s.top || s.bottom <= r.top;
      EXPECT_TRUE(apart) << a << " overlaps " << b;
    }
  }
}

TEST(StatusPanel, StopResetsCountersEmptiesSongTextsAndPutsLampsOut) {
  LiquidTextModel model(kStatusItemCount);
  defineStatusPanel(model);
  model.setText(item::kTitle, "Song");
  model.setText(item::kFileType, std::string(fileTypeName(1)));
  setLamp(model, item::kPortA, true);
  setLamp(model, item::kSmfKnife, true);
  const auto changed = resetStatusPanel(model);
  EXPECT_EQ(model.item(item::kTime).text, "00:00/00:00");
  EXPECT_EQ(model.item(item::kBar).text, "0000/0000");
  EXPECT_EQ(model.item(item::kTempo).text, "000");
  EXPECT_EQ(model.item(item::kBeat).text, "00/00");
  EXPECT_EQ(model.item(item::kTicks).text, "0000/0000");
  EXPECT_EQ(model.item(item::kTitle).text, "");
  EXPECT_EQ(model.item(item::kFileType).text, "");
  EXPECT_EQ(model.item(item::kPortA).background, kUnlitLamp);
  EXPECT_EQ(model.item(item::kSmfKnife).background, kUnlitLamp);
  EXPECT_EQ(model.item(item::kModuleName).text, "SC-55mkII  ");
  // Time, bar, beat, ticks, title, file type and the two lamps; tempo was already "000".
  EXPECT_EQ(changed.size(), 8u);
  EXPECT_TRUE(resetStatusPanel(model).empty());
}

TEST(StatusPanel, FileTypeNames) {
  EXPECT_EQ(fileTypeName(0), "SMF Format0");
  EXPECT_EQ(fileTypeName(1), "SMF Format1");
  EXPECT_EQ(fileTypeName(8), "RCM ver1.0");
  EXPECT_EQ(fileTypeName(9), "RCM ver2.0");
  EXPECT_EQ(fileTypeName(10), "RCM ver2.5F");
  EXPECT_EQ(fileTypeName(11), "RCM ver2.5G");
  EXPECT_EQ(fileTypeName(12), "RCFW 95");
  EXPECT_EQ(fileTypeName(16), "Ballade");
  EXPECT_EQ(fileTypeName(32), "MicroMusician2");
  EXPECT_EQ(fileTypeName(64), "VOLTA Import");
  EXPECT_EQ(fileTypeName(128), "WAVE");
  for (int code : {2, 7, 13, 127, 255, -1})
    EXPECT_EQ(fileTypeName(code), "") << code;
}

}  // namespace
}  // namespace volta::monitor
