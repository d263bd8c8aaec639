#pragma once
// "송신 데이터 설정": one transmit frame as the user enters or edits it. Protocol, data length
// and frame type, eight data boxes typed as hexadecimal pairs or as single characters, and the
// identifier in the identifier editor (four byte boxes and 29 bit ticks kept in step).
// The caller hands in the starting values and, after OK, reads Result(): seven checked values
// (pOwner stays null). Enter never confirms; only "설정" does.
//
// Object names, for tests and for finding the controls: "protocol", "length", "frameType",
// "format" (the four lists), "data0".."data7" (the data boxes), "id" (the identifier editor),
// "period" (the cyclic period in ms, empty or 0 for none), "ok" and "cancel" (the buttons).
#include <array>

#include "transmit/TData.h"
#include "transmit/TDataDlgRules.h"
#include "uisupport/CFormDialog.h"

class CIdentifierEditorCtrl;
class QComboBox;
class QGridLayout;
class QLineEdit;

class CTDataDlg final : public CFormDialog {
  Q_OBJECT
public:
  // What the add command starts from: CAN 2.0B, data frame, Hex, length 8, identifier 0,
  // every data byte 0.
  static TData NewFrame();

  explicit CTDataDlg(const TData& values, QWidget* pParent = nullptr);

  const TData& Result() const { return m_result; }

protected:
  void OnOk() override;

private:
  // The typing filter of the data boxes.
  bool eventFilter(QObject* pWatched, QEvent* pEvent) override;
  QGridLayout* CreateFrameRows();
  void Open();
  void OnProtocolSelected(int nIndex);
  void ApplyFrameType(int nIndex);
  void ApplyLength(int nLength);
  void OnFormatSelected(int nIndex);
  bool IsAsciiSelected() const;
  DataBoxTexts DataTexts() const;
  void ShowDataTexts(const DataBoxTexts& texts, bool bAscii);

  TData m_result;
  QComboBox* m_pProtocol = nullptr;
  QComboBox* m_pLength = nullptr;
  QComboBox* m_pFrameType = nullptr;
  QComboBox* m_pFormat = nullptr;
  std::array<QLineEdit*, DATA_BOX_COUNT> m_apData{};
  CIdentifierEditorCtrl* m_pIdEditor = nullptr;
  QLineEdit* m_pPeriod = nullptr;
};
