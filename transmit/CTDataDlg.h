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
//
// With a signal database the fields are the page "프레임" and a page "신호" lists the signals
// of the message with the dialog's identifier as editable values (CSignalEditor): the page
// shows the values of the data boxes when it opens, and a value typed there is written into
// the data boxes (the length grows to the message's when it is shorter).
#include <array>
#include <memory>

#include "transmit/TData.h"
#include "transmit/TDataDlgRules.h"
#include "uisupport/CFormDialog.h"

class CDbcDatabase;
class CIdentifierEditorCtrl;
class CSignalEditor;
class QComboBox;
class QTabWidget;
class QGridLayout;
class QLineEdit;

class CTDataDlg final : public CFormDialog {
  Q_OBJECT
public:
  // What the add command starts from: CAN 2.0B, data frame, Hex, length 8, identifier 0,
  // every data byte 0.
  static TData NewFrame();

  explicit CTDataDlg(const TData& values, QWidget* pParent = nullptr, std::shared_ptr<const CDbcDatabase> pDatabase = {});

  const TData& Result() const { return m_result; }
  QTabWidget* Pages() const { return m_pPages; }
  CSignalEditor* SignalPage() const { return m_pSignalEditor; }

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
  void OnPageShown(int nPage);
  void OnSignalsEdited();

  TData m_result;
  QComboBox* m_pProtocol = nullptr;
  QComboBox* m_pLength = nullptr;
  QComboBox* m_pFrameType = nullptr;
  QComboBox* m_pFormat = nullptr;
  std::array<QLineEdit*, DATA_BOX_COUNT> m_apData{};
  CIdentifierEditorCtrl* m_pIdEditor = nullptr;
  std::shared_ptr<const CDbcDatabase> m_pDatabase;
  QTabWidget* m_pPages = nullptr;
  CSignalEditor* m_pSignalEditor = nullptr;
  QLineEdit* m_pPeriod = nullptr;
};
