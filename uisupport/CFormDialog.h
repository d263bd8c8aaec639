#pragma once
// A modal input dialog as the program's dialogs behave: Enter is dropped, so only the OK
// button confirms (no button is a default one, and Enter in a text box does nothing);
// Escape still cancels. AddButtons gives the "설정" / "취소" pair every such dialog ends with.
#include <QDialog>

class QBoxLayout;
class QComboBox;
class QPushButton;

class CFormDialog : public QDialog {
  Q_OBJECT
public:
  explicit CFormDialog(QWidget* pParent = nullptr);

  QPushButton* OkButton() const { return m_pOk; }
  QPushButton* CancelButton() const { return m_pCancel; }

protected:
  // A drop-down list of fixed texts, named so tests and the dialog's own code find it.
  static QComboBox* TextList(const QString& name, const QStringList& items, QWidget* pParent);
  // The buttons go right-aligned into pLayout; "설정" runs OnOk, "취소" rejects.
  void AddButtons(QBoxLayout* pLayout);
  // Checks the input and accepts, or shows why not and stays open.
  virtual void OnOk() = 0;
  void keyPressEvent(QKeyEvent* pEvent) override;

private:
  QPushButton* m_pOk = nullptr;
  QPushButton* m_pCancel = nullptr;
};
