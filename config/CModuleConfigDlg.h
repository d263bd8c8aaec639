#pragma once
// "Korvex 환경 설정": how the PC reaches the module (serial port and baud rate, or a USB
// module), the CAN protocol, the bit rate (a preset, or BRP / TSEG1 / TSEG2 chosen freely),
// the bus-off and error-report options and the receive mask ID and ID. The caller hands in the
// stored settings and, after OK, reads Result(): the same eight fields, checked.
#include "config/ModuleSettings.h"
#include "uisupport/CFormDialog.h"

class CIdentifierEditorCtrl;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
struct CPortLists;

class CModuleConfigDlg final : public CFormDialog {
  Q_OBJECT
public:
  // The port lists are read once, here; a port attached later is not seen.
  CModuleConfigDlg(const ModuleSettings& settings, const CPortLists& ports, QWidget* pParent = nullptr);

  const ModuleSettings& Result() const { return m_result; }

protected:
  void OnOk() override;

private:
  QWidget* CreatePortGroup();
  QWidget* CreateCanPart();
  QWidget* CreateBitRatePart();
  void Fill();
  void ShowPortMode(bool bUsb);
  void OnSerialPortSelected(int nIndex);
  void OnProtocolSelected(int nIndex);
  void OnPresetSelected(int nIndex);
  void EnableCustomFields(bool bCustom);
  void OnCustomClicked(bool bCustom);
  void OnCustomFieldSelected();
  uint16_t CustomBitTiming() const;
  void SelectFields(uint16_t wBitTiming);

  const CPortLists& m_ports;
  ModuleSettings m_result;
  QRadioButton* m_pSerialRadio = nullptr;
  QRadioButton* m_pUsbRadio = nullptr;
  QComboBox* m_pSerialPorts = nullptr;
  QComboBox* m_pUsbModules = nullptr;
  QComboBox* m_pBaudRates = nullptr;
  QComboBox* m_pProtocol = nullptr;
  QComboBox* m_pPresets = nullptr;
  QCheckBox* m_pAutoReset = nullptr;
  QCheckBox* m_pReportBusOff = nullptr;
  QCheckBox* m_pReportPassive = nullptr;
  QCheckBox* m_pReportWarning = nullptr;
  CIdentifierEditorCtrl* m_pMaskEditor = nullptr;
  CIdentifierEditorCtrl* m_pIdEditor = nullptr;
  QCheckBox* m_pCustom = nullptr;
  QLineEdit* m_pComputedRate = nullptr;
  QComboBox* m_pBrp = nullptr;
  QComboBox* m_pTseg1 = nullptr;
  QComboBox* m_pTseg2 = nullptr;
};
