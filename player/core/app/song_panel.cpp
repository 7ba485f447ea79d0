#include "player/core/app/song_panel.h"

#include "player/core/app/display_texts.h"
#include "player/monitor/status_panel.h"

namespace volta::app {

void SongPanel::showTitle(const std::string& utf8) {
  view_.setPanelText(kPanelTitle, utf8);
}

void SongPanel::reset() {
  for (std::size_t item = 0; item < monitor::kStatusItemCount; ++item) {
    if (monitor::isLamp(item)) view_.setPanelLamp(static_cast<int>(item), false);
  }
  for (const auto& [item, text] : monitor::stopResetTexts())
    view_.setPanelText(static_cast<int>(item), std::string(text));
  view_.setPanelText(kPanelModule, "");
}

void SongPanel::showSong(const EnginePlayer& player, bool script) {
  view_.setPanelLamp(kPanelWrdLamp, script);
  view_.setPanelLamp(kPanelDocLamp, player.documentFound());
  view_.setPanelLamp(kPanelSmfkLamp, player.converted());
  view_.setPanelText(kPanelModule, cp932ToUtf8(player.moduleText()));
  if (const auto* status = player.status())
    view_.setPanelText(kPanelFileType, std::string(monitor::fileTypeName(status->smfFormat)));
}

void SongPanel::showCounters(const protocol::SequencerStatus& status, std::uint32_t totalLengthMs,
                             std::uint32_t totalMeasures) {
  const Counters c = counters(status, totalLengthMs, totalMeasures);
  view_.setPanelText(kPanelTime, c.time);
  view_.setPanelText(kPanelBar, c.bar);
  view_.setPanelText(kPanelBeat, c.beat);
  view_.setPanelText(kPanelTicks, c.ticks);
  view_.setPanelText(kPanelTempo, c.tempo);
}

void SongPanel::showOutput(const protocol::OutputStatus& output) {
  view_.setPanelLamp(kPanelGsLamp, output.gsReset != 0 || output.gsMode != 0);
  view_.setPanelLamp(kPanelGmLamp, output.gmOn != 0);
  view_.setPanelLamp(kPanelXgLamp, output.xgOn != 0);
  for (int port = 0; port < 3; ++port)
    view_.setPanelLamp(kPanelPortLampA + port, output.portOpen[port] != 0);
  view_.updateLcd();
}

}  // namespace volta::app
