#pragma once
// A drawable series of the chart: its points, shape, line style and colour.
#include <cstdint>

#include "frontend/chart/data_series.h"
#include "frontend/chart/look.h"

namespace chart {

class TxyGraph;

enum TPointShape : uint8_t { psSquare = 0, psCircle = 1, psDiamond = 2, psCross = 3, psSteps = 4 };
enum TLineStyle : uint8_t { lsSolid = 0, lsDash = 1, lsDot = 2, lsDashDot = 3, lsDashDotDot = 4 };

// A numbered, drawable series of a graph; its look changes repaint the graph.
class TSeries : public TDataSeries {
 public:
  TSeries(TxyGraph& owner, int16_t number);
  ~TSeries() override;

  void Changed() override;
  void TooManyPoints() override;

  void SetDrawLine(bool on);
  void SetDrawPoints(bool on);
  void SetFillPoints(bool on);
  void SetLineColor(TColor colour);
  void SetPointColor(TColor colour);
  void SetPointShape(uint8_t shape);
  void SetLineStyle(uint8_t style);
  void SetPointSize(int16_t size);

  bool Active = true;
  bool DrawLine() const { return drawLine_; }
  bool DrawPoints() const { return drawPoints_; }
  bool FillPoints() const { return fillPoints_; }
  TColor LineColor() const { return lineColor_; }
  TColor PointColor() const { return pointColor_; }
  uint8_t PointShape() const { return pointShape_; }
  uint8_t LineStyle() const { return lineStyle_; }
  int16_t PointSize() const { return pointSize_; }
  int16_t Number() const { return number_; }
  TxyGraph& Owner() const { return owner_; }

 private:
  friend class TxyGraph;
  void NormalisePointSize();

  TSeries* next_ = nullptr;  // the graph's list, ascending by number
  TxyGraph& owner_;
  bool drawLine_ = true;
  bool drawPoints_ = true;
  bool fillPoints_ = true;
  TColor lineColor_ = 0;
  TColor pointColor_ = 0;
  uint8_t pointShape_ = psSquare;
  uint8_t lineStyle_ = lsSolid;
  int16_t number_;
  int16_t pointSize_ = 4;
};

}  // namespace chart
