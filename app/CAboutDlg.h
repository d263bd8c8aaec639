#pragma once
// The about box: the program icon, "Korvex 버전 1.0" and the OK button "확인".
#include <QDialog>

class CAboutDlg final : public QDialog {
  Q_OBJECT
public:
  explicit CAboutDlg(QWidget* pParent = nullptr);
};
