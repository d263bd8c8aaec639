#pragma once
// Driving real widgets offscreen as a user would, and a sink that records and answers every message box.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <vector>

#include "uisupport/MessageBox.h"

class CRecordingSink final : public MessageSink {
public:
  explicit CRecordingSink(EMessageAnswer eAnswer = EMessageAnswer::OK)
      : m_eAnswer(eAnswer), m_pPrevious(SetMessageSink(this)) {}
  ~CRecordingSink() override { SetMessageSink(m_pPrevious); }
  EMessageAnswer Show(const CMessageRequest& request) override {
    m_ids.push_back(request.m_nStringId);
    m_icons.push_back(request.m_eIcon);
    m_details.push_back(request.m_strDetail);
    return m_eAnswer;
  }
  std::vector<unsigned> m_ids;
  std::vector<EMessageIcon> m_icons;
  std::vector<std::string> m_details;

private:
  EMessageAnswer m_eAnswer;
  MessageSink* m_pPrevious;
};

template <typename T>
T* Find(QWidget& parent, const char* pszName) {
  T* pWidget = parent.findChild<T*>(QString::fromLatin1(pszName));
  EXPECT_NE(pWidget, nullptr) << pszName;
  return pWidget;
}

// A user's selection: the list announces it as the user's choice, as a mouse pick does.
inline void Choose(QComboBox* pList, int nIndex) {
  QTest::keyClick(pList, Qt::Key_Home);
  for (int n = 0; n < nIndex; ++n) QTest::keyClick(pList, Qt::Key_Down);
  ASSERT_EQ(pList->currentIndex(), nIndex);
}

inline void Press(QAbstractButton* pButton) { QTest::keyClick(pButton, Qt::Key_Space); }

// Replaces the box's text by typing, so the typing filters see every key.
inline void Type(QLineEdit* pBox, const char* pszKeys) {
  pBox->setFocus();
  pBox->selectAll();
  QTest::keyClicks(pBox, QString::fromLatin1(pszKeys));
}
