#pragma once
// A status bar with the message pane on the left (its idle text shows whenever no prompt
// does) and permanent panes on the right, each of a fixed width with its tooltip, known
// by its id. A pane shows a text or a picture.
#include <QStatusBar>
#include <map>

class QLabel;

class CPaneStatusBar final : public QStatusBar {
  Q_OBJECT
public:
  explicit CPaneStatusBar(const QString& idleText, QWidget* pParent = nullptr);

  // Appended right of the panes added before it. nWidth is the system's width in pixels, which
  // fits its texts in its font; the pane gets that width scaled for its own font, so the same
  // texts fit (WidthScale). A width of 0 fits the pane to its text.
  void AddPane(unsigned nId, int nWidth, const QString& text, const QString& tooltip);
  // Unknown ids are ignored.
  void SetPaneText(unsigned nId, const QString& text);
  void SetPanePicture(unsigned nId, const QPixmap& picture);
  void SetPaneVisible(unsigned nId, bool bVisible);
  // Null for an unknown id.
  QLabel* Pane(unsigned nId) const;

private:
  std::map<unsigned, QLabel*> m_panes;
};
