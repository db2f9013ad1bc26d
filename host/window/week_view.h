#pragma once
// One week of a calendar: the days as columns from Monday, an all-day row on top, and the
// appointments as blocks at their times. A double click opens a block, or a new appointment
// at the hour clicked.
#include <functional>
#include <string>
#include <vector>

#include <QWidget>

#include "host/window/calendar_rows.h"

namespace window {

class WeekView : public QWidget {
 public:
  explicit WeekView(QWidget* parent = nullptr);
  void SetRows(std::vector<ApptRow> rows);
  void SetWeek(com::Date anyDay);  // the week holding that day
  com::Date monday() const { return monday_; }

  std::function<void(const std::string& entryId)> onOpen;
  std::function<void(com::Date start)> onNew;

  QSize sizeHint() const override { return {760, 560}; }

 protected:
  void paintEvent(QPaintEvent*) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  struct Layout {
    int left, top, allDayTop, dayWidth, hourHeight;
  };
  Layout Measure() const;
  // The block of a row on day d (0 = Monday); empty when it is not on that day.
  QRect Block(const Layout& l, const ApptRow& row, int day) const;

  void Place();  // the rows that fall into the week shown
  std::vector<ApptRow> rows_, shown_;
  com::Date monday_;
  static constexpr int kFirstHour = 7, kLastHour = 20;
};

}  // namespace window
