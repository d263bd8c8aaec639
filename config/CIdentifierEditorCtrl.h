#pragma once
// The identifier editor on screen: "Hex" with four byte boxes, "Bit" with the tick boxes
// "ID28".."ID0" in four rows, highest bit on the left (five ticks right-aligned over three
// framed rows of eight). Every event goes to the CIdentifierEditor model and the widgets are
// then set from it, so what is shown is always what the model holds.
// Used by the configuration dialog (receive mask ID, receive ID) and the transmit frame dialog.
#include <QWidget>
#include <array>

#include "config/CIdentifierEditor.h"

class QCheckBox;
class QLineEdit;

class CIdentifierEditorCtrl final : public QWidget {
  Q_OBJECT
public:
  // pszNote, when given, stands right of the byte boxes.
  explicit CIdentifierEditorCtrl(const QString& note = QString(), QWidget* pParent = nullptr);

  void Load(uint32_t dwID, CIdentifierEditor::EProtocol eProtocol);
  void SwitchProtocol(CIdentifierEditor::EProtocol eProtocol);
  const CIdentifierEditor& Editor() const { return m_editor; }
  CIdentifierEditor& Editor() { return m_editor; }
  // The OK step: the shown texts become the stored ones.
  void TakeBoxTexts() { m_editor.TakeBoxTexts(); }

  QLineEdit* Box(int nBox) const { return m_apBoxes[static_cast<size_t>(nBox - 1)]; }
  QCheckBox* Tick(int nTick) const { return m_apTicks[static_cast<size_t>(nTick)]; }

protected:
  // The character filter of the byte boxes and their leave step.
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
  int BoxNumberOf(QObject* pObject) const;
  void OnBoxChanged(int nBox, const QString& text);
  void OnTickClicked(int nTick);
  void ShowModel();

  CIdentifierEditor m_editor;
  std::array<QLineEdit*, CIdentifierEditor::BOX_COUNT> m_apBoxes{};
  std::array<QCheckBox*, CIdentifierEditor::TICK_COUNT> m_apTicks{};
  bool m_bShowing = false;  // the boxes are being set from the model, not edited
};
