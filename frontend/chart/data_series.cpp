#include "frontend/chart/data_series.h"

#include <algorithm>

namespace chart {

TDataSeries::~TDataSeries() { FreePoints(); }

// Iterative, so that a series of any length is freed without deep recursion.
void TDataSeries::FreePoints() {
  TPoint* point = first_;
  while (point) {
    TPoint* next = point->next;
    delete point;
    point = next;
  }
  first_ = last_ = nullptr;
}

TPoint* TDataSeries::NewPoint(double x, double y) {
  auto* point = new TPoint;
  point->id = ++idCounter_;
  point->x = x;
  point->y = y;
  ++count_;
  return point;
}

void TDataSeries::TakeIntoBounds(double x, double y) {
  if (count_ == 1) {
    xMin_ = xMax_ = x;
    yMin_ = yMax_ = y;
    boundsDirty_ = false;
  } else if (!boundsDirty_) {
    xMin_ = std::min(xMin_, x);
    xMax_ = std::max(xMax_, x);
    yMin_ = std::min(yMin_, y);
    yMax_ = std::max(yMax_, y);
  }
}

// A value that held a bound and moves inward leaves the bounds to be recomputed.
void TDataSeries::Overwrite(TPoint& point, double y) {
  if (!boundsDirty_ && y != point.y && (point.y == yMin_ || point.y == yMax_)) boundsDirty_ = true;
  point.y = y;
}

void TDataSeries::InsertPoint(double x, double y) {
  if (!first_) {
    first_ = last_ = NewPoint(x, y);
  } else if (x < last_->x) {
    TPoint* before = nullptr;
    TPoint* at = first_;
    while (at->x < x) {  // ends at the last point at the latest, since x < last x
      before = at;
      at = at->next;
    }
    if (at->x == x) {
      Overwrite(*at, y);
    } else {
      TPoint* point = NewPoint(x, y);
      point->next = at;
      (before ? before->next : first_) = point;
    }
  } else if (x > last_->x) {
    TPoint* point = NewPoint(x, y);
    last_->next = point;
    last_ = point;
  } else {
    Overwrite(*last_, y);
  }
  TakeIntoBounds(x, y);
  if (count_ > PointLimit) TooManyPoints();
  Changed();
}

void TDataSeries::Clear() {
  FreePoints();
  idCounter_ = 0;
  count_ = 0;
  boundsDirty_ = true;
  Changed();
}

TFoundPoint TDataSeries::FindPoint(int n, double x) const {
  const TPoint* point = first_;
  while (point && point->x < x) point = point->next;
  for (int step = 1; step < n && point; ++step) point = point->next;
  TFoundPoint result;
  if (point && point->x == x) result = {true, point->id, point->y, point->tag};
  return result;
}

double TDataSeries::GetValue(double x) const {
  for (const TPoint* point = first_; point; point = point->next)
    if (point->x == x) return point->y;
  return 0;
}

void TDataSeries::RemoveDuplicates() {
  for (TPoint* point = first_; point; point = point->next) {
    // The list is sorted, so equal x values sit next to each other.
    while (point->next && point->next->x == point->x) {
      TPoint* gone = point->next;
      point->next = gone->next;
      if (gone == last_) last_ = point;
      delete gone;
      --count_;
      boundsDirty_ = true;
    }
  }
  if (boundsDirty_) Changed();
}

void TDataSeries::CalcBounds() {
  if (!first_) return;
  xMin_ = xMax_ = first_->x;
  yMin_ = yMax_ = first_->y;
  for (const TPoint* point = first_->next; point; point = point->next) {
    xMin_ = std::min(xMin_, point->x);
    xMax_ = std::max(xMax_, point->x);
    yMin_ = std::min(yMin_, point->y);
    yMax_ = std::max(yMax_, point->y);
  }
  boundsDirty_ = false;
}

void TDataSeries::TooManyPoints() {
  if (OnTooManyPoints) OnTooManyPoints(*this);
}

}  // namespace chart
