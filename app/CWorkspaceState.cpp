#include "app/CWorkspaceState.h"

#include "config/SettingsStore.h"

void CWorkspaceState::Save(std::string_view name, const QByteArray& state) {
  const QByteArray text = state.toBase64();
  m_store.SetString(WORKSPACE_SECTION, name, std::string_view(text.constData(), static_cast<size_t>(text.size())));
}

QByteArray CWorkspaceState::Load(std::string_view name) const {
  const auto text = m_store.GetString(WORKSPACE_SECTION, name);
  if (!text) return {};
  const auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromStdString(*text),
                                                      QByteArray::AbortOnBase64DecodingErrors);
  return decoded ? *decoded : QByteArray();
}
