#pragma once
// The point store beneath every series: points kept in ascending x with their bounds.
#include <cstdint>
#include <functional>

namespace chart {

class TDataSeries;
using TDataSeriesEvent = std::function<void(TDataSeries& sender)>;

// One point of a series, kept in a singly linked list ascending in x.
struct TPoint {
  int32_t id = 0;
  double x = 0;
  double y = 0;
  double tag = 0;
  TPoint* next = nullptr;
};

struct TFoundPoint {
  bool found = false;
  int32_t id = 0;
  double y = 0;
  double tag = 0;
};

// The point store of a series: at most one point per x, bounds kept up to date while filling.
class TDataSeries {
 public:
  static constexpr int32_t kDefaultPointLimit = 30000;

  TDataSeries() = default;
  TDataSeries(const TDataSeries&) = delete;
  TDataSeries& operator=(const TDataSeries&) = delete;
  virtual ~TDataSeries();

  void AddPoint(double x, double y) { InsertPoint(x, y); }
  void InsertPoint(double x, double y);
  void Clear();
  TFoundPoint FindPoint(int n, double x) const;
  double GetValue(double x) const;
  void RemoveDuplicates();
  void CalcBounds();

  virtual void Changed() {}
  virtual void TooManyPoints();

  TDataSeriesEvent OnTooManyPoints;
  int32_t PointLimit = kDefaultPointLimit;

  int32_t Count() const { return count_; }
  const TPoint* First() const { return first_; }
  const TPoint* Last() const { return last_; }
  bool BoundsDirty() const { return boundsDirty_; }
  double XMin() const { return xMin_; }
  double XMax() const { return xMax_; }
  double YMin() const { return yMin_; }
  double YMax() const { return yMax_; }

 private:
  void FreePoints();
  TPoint* NewPoint(double x, double y);
  void TakeIntoBounds(double x, double y);
  void Overwrite(TPoint& point, double y);

  int32_t idCounter_ = 0;
  int32_t count_ = 0;
  TPoint* first_ = nullptr;
  TPoint* last_ = nullptr;
  double xMin_ = 0, xMax_ = 0, yMin_ = 0, yMax_ = 0;
  bool boundsDirty_ = false;
};

}  // namespace chart
