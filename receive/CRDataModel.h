#pragma once
// The lines of the receive list. Lines come in one at a time and wait as pending until the
// list is next refreshed; Commit then removes the overflow in one step and inserts the new
// lines in one step, so a view lays itself out once per refresh however many frames came.
// At most the limit's worth is kept pending: older ones could never be shown. The lines the
// list holds (HeldCount, HeldLine) are the shown ones followed by the pending ones, so what
// the list holds is right between refreshes as well.
#include <QAbstractListModel>
#include <QString>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "link/ArrivalTime.h"

class CRDataModel : public QAbstractListModel {
  Q_OBJECT
public:
  CRDataModel(int nLineLimit, QObject* pParent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole) const override;

  void AddPending(std::string_view text, const ArrivalTime& arrival);
  // Shows the pending lines, trimming the oldest to the limit. False when none was pending.
  bool Commit();
  void RemoveAll();
  // The line as shown: "hh:mm:ss.mmm  " (local time of arrival) and the text when time
  // stamps are on, the text alone otherwise.
  QString LineText(int nRow) const;
  int HeldCount() const;
  QString HeldLine(int nRow) const;
  void SetShowTimestamps(bool bShow);
  bool ShowsTimestamps() const { return m_bShowTimestamps; }

private:
  QString Shown(const QString& text, int64_t nWallNs) const;

  struct SPending {
    std::string m_text;
    int64_t m_nWallNs;
  };
  struct SLine {
    QString m_text;
    int64_t m_nWallNs;  // stamped only when shown with time stamps on
  };

  int m_nLineLimit;
  bool m_bShowTimestamps = false;
  std::deque<SPending> m_pending;
  std::deque<SLine> m_lines;
};

// "hh:mm:ss.mmm  " for a wall-clock time in nanoseconds since the epoch, in local time.
QString ArrivalStamp(int64_t nWallNs);
