#pragma once
// The setting that names the older engine library behind the bridge. The player reads it
// too: where it names one, the bridge is a choice besides the native engine.

namespace volta::bridge95 {

inline constexpr char kOlderEngineSetting[] = "BridgeEngine";
// The name looked for when the setting is empty.
inline constexpr char kOlderEngineDefault[] = "libvolta16.so";

}  // namespace volta::bridge95
