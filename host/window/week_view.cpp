#include "host/window/week_view.h"

#include <algorithm>

#include <QMouseEvent>
#include <QPainter>

namespace window {
namespace {

const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
constexpr int64_t kMinuteMs = 60 * 1000;

double HoursInto(com::Date day, com::Date t) { return static_cast<double>(t.UnixMillis() - day.UnixMillis()) / (60 * kMinuteMs); }

}  // namespace

WeekView::WeekView(QWidget* parent) : QWidget(parent) {
  setObjectName("WeekView");
  setAutoFillBackground(true);
  setBackgroundRole(QPalette::Base);
}

void WeekView::SetRows(std::vector<ApptRow> rows) {
  rows_ = std::move(rows);
  Place();
}

void WeekView::Place() {
  shown_ = RowsBetween(rows_, monday_, monday_.AddDays(7));
  update();
}

void WeekView::SetWeek(com::Date anyDay) {
  const com::Date day = anyDay.DateOnly();
  monday_ = day.AddDays(-((day.Weekday() + 5) % 7));
  Place();
}

WeekView::Layout WeekView::Measure() const {
  Layout l;
  l.left = 48;
  l.allDayTop = 24;
  l.top = l.allDayTop + 26;
  l.dayWidth = std::max(1, (width() - l.left) / 7);
  l.hourHeight = std::max(1, (height() - l.top) / (kLastHour - kFirstHour));
  return l;
}

QRect WeekView::Block(const Layout& l, const ApptRow& row, int day) const {
  const com::Date dayStart = monday_.AddDays(day);
  const com::Date dayEnd = dayStart.AddDays(1);
  if (!(row.start < dayEnd && dayStart < row.end) && !(row.start == row.end && row.start >= dayStart && row.start < dayEnd)) {
    return {};
  }
  const int x = l.left + day * l.dayWidth + 2;
  if (row.allDay) return QRect(x, l.allDayTop + 2, l.dayWidth - 4, 20);
  const double from = std::clamp(HoursInto(dayStart, row.start), double{kFirstHour}, double{kLastHour});
  const double to = std::clamp(HoursInto(dayStart, row.end), double{kFirstHour}, double{kLastHour});
  const int y1 = l.top + static_cast<int>((from - kFirstHour) * l.hourHeight);
  const int y2 = l.top + static_cast<int>((to - kFirstHour) * l.hourHeight);
  return QRect(x, y1, l.dayWidth - 4, std::max(y2 - y1, 16));
}

void WeekView::paintEvent(QPaintEvent*) {
  QPainter p(this);
  const Layout l = Measure();
  const QPalette& pal = palette();
  p.setPen(pal.color(QPalette::Mid));
  for (int d = 0; d <= 7; ++d) p.drawLine(l.left + d * l.dayWidth, 0, l.left + d * l.dayWidth, l.top + (kLastHour - kFirstHour) * l.hourHeight);
  p.drawLine(0, l.allDayTop, width(), l.allDayTop);
  p.drawLine(0, l.top, width(), l.top);
  for (int h = kFirstHour; h < kLastHour; ++h) {
    const int y = l.top + (h - kFirstHour) * l.hourHeight;
    p.setPen(pal.color(QPalette::Midlight));
    p.drawLine(l.left, y, width(), y);
    p.setPen(pal.color(QPalette::Text));
    p.drawText(QRect(0, y, l.left - 4, l.hourHeight), Qt::AlignRight | Qt::AlignTop, QString("%1:00").arg(h));
  }
  p.drawText(QRect(0, l.allDayTop, l.left - 4, 24), Qt::AlignRight | Qt::AlignVCenter, "All day");
  for (int d = 0; d < 7; ++d) {
    const com::DateParts day = monday_.AddDays(d).Parts();
    p.drawText(QRect(l.left + d * l.dayWidth, 0, l.dayWidth, l.allDayTop), Qt::AlignCenter,
               QString("%1 %2/%3").arg(kDays[d]).arg(day.month).arg(day.day));
  }
  const QColor fill = pal.color(QPalette::Highlight).lighter(170);
  for (const ApptRow& row : shown_) {
    for (int d = 0; d < 7; ++d) {
      const QRect r = Block(l, row, d);
      if (r.isEmpty()) continue;
      p.setPen(pal.color(QPalette::Highlight));
      p.setBrush(fill);
      p.drawRect(r);
      p.setPen(Qt::black);
      QString text = QString::fromStdString(row.subject);
      if (!row.location.empty()) text += "\n" + QString::fromStdString(row.location);
      p.drawText(r.adjusted(3, 1, -2, -1), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    }
  }
}

void WeekView::mouseDoubleClickEvent(QMouseEvent* event) {
  const Layout l = Measure();
  const QPoint at = event->position().toPoint();
  for (const ApptRow& row : shown_) {
    for (int d = 0; d < 7; ++d) {
      if (Block(l, row, d).contains(at)) {
        if (onOpen) onOpen(row.entryId);
        return;
      }
    }
  }
  const int day = (at.x() - l.left) / l.dayWidth;
  if (at.x() < l.left || day > 6 || !onNew) return;
  const int hour = at.y() < l.top ? 9 : std::min(kLastHour - 1, kFirstHour + (at.y() - l.top) / l.hourHeight);
  onNew(com::Date::FromUnixMillis(monday_.AddDays(day).UnixMillis() + hour * 60 * kMinuteMs));
}

}  // namespace window
