#pragma once
#include <cstdint>

namespace chart {

class TxyGraph;

// Margins around the plot rectangle, in pixels.
class TDimensions {
 public:
  explicit TDimensions(TxyGraph& graph) : graph_(graph) {}
  void SetLeftMargin(int16_t v);
  void SetRightMargin(int16_t v);
  void SetTopMargin(int16_t v);
  void SetBottomMargin(int16_t v);
  int16_t LeftMargin() const { return left_; }
  int16_t RightMargin() const { return right_; }
  int16_t TopMargin() const { return top_; }
  int16_t BottomMargin() const { return bottom_; }

 private:
  TxyGraph& graph_;
  int16_t left_ = 40, right_ = 15, top_ = 30, bottom_ = 40;
};

// Look settings of the graph; the step limits are used by the axis scaling.
class TAppearance {
 public:
  explicit TAppearance(TxyGraph& graph) : graph_(graph) {}
  void SetMinSteps(int16_t v);
  void SetMaxSteps(int16_t v);
  int16_t MinSteps() const { return minSteps_; }
  int16_t MaxSteps() const { return maxSteps_; }

 private:
  TxyGraph& graph_;
  int16_t minSteps_ = 5;
  int16_t maxSteps_ = 50;
};

}  // namespace chart
