#pragma once
// "로그파일 경로 설정 ": the receive-data and event log paths, each with a "..." button that
// browses for a file to save to. OK accepts only paths whose directory exists (the files need
// not); after OK the caller reads the two trimmed paths, as bytes for the file system.
#include <functional>
#include <string>

#include "uisupport/CFormDialog.h"

class QLineEdit;
class QPushButton;

// A save-style file chooser: parent, title, start directory, filter -> the chosen path, or ""
// when the user cancelled. Tests put their own in, so no file dialog blocks them.
using FileChooser = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

class CLogPathDlg final : public CFormDialog {
  Q_OBJECT
public:
  // The current paths fill the boxes and are where browsing falls back to. A null chooser
  // shows the platform's file dialog.
  CLogPathDlg(std::string currentRDataPath, std::string currentEventPath, FileChooser fnChooseFile = nullptr,
              QWidget* pParent = nullptr);

  // Empty until OK succeeds.
  const std::string& EventLogPath() const { return m_strEventPath; }
  const std::string& RDataLogPath() const { return m_strRDataPath; }

  QLineEdit* RDataBox() const { return m_pRDataBox; }
  QLineEdit* EventBox() const { return m_pEventBox; }
  QPushButton* RDataBrowseButton() const { return m_pRDataBrowse; }
  QPushButton* EventBrowseButton() const { return m_pEventBrowse; }

protected:
  void OnOk() override;

private:
  void Browse(QLineEdit* pBox, std::string& shownPath, const std::string& currentPath, unsigned nFilterId,
              unsigned nTitleId);

  std::string m_strCurrentRData;
  std::string m_strCurrentEvent;
  FileChooser m_fnChooseFile;
  // The bytes last put into each box: a path the system gave that is not UTF-8 is kept as
  // those bytes while its box is left as it is.
  std::string m_strRDataShown;
  std::string m_strEventShown;
  std::string m_strEventPath;
  std::string m_strRDataPath;
  QLineEdit* m_pRDataBox = nullptr;
  QLineEdit* m_pEventBox = nullptr;
  QPushButton* m_pRDataBrowse = nullptr;
  QPushButton* m_pEventBrowse = nullptr;
};
