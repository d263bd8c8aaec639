#pragma once
// The window's saved state (the frame's placement "MAIN", the docking layout "Main PaneLayout")
// as values of section "WorkspaceState" in the settings store. The bytes are stored as base64
// text; a missing or mangled value reads as empty, which the window takes as "nothing saved".
#include <QByteArray>
#include <string_view>

class SettingsStore;

inline constexpr std::string_view WORKSPACE_SECTION = "WorkspaceState";

class CWorkspaceState {
public:
  explicit CWorkspaceState(SettingsStore& store) : m_store(store) {}

  void Save(std::string_view name, const QByteArray& state);
  QByteArray Load(std::string_view name) const;

private:
  SettingsStore& m_store;
};
