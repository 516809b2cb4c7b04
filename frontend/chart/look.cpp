#include "look.h"

#include "graph.h"

namespace chart {

void TDimensions::SetLeftMargin(int16_t v) { left_ = v; graph_.Repaint(); }
void TDimensions::SetRightMargin(int16_t v) { right_ = v; graph_.Repaint(); }
void TDimensions::SetTopMargin(int16_t v) { top_ = v; graph_.Repaint(); }
void TDimensions::SetBottomMargin(int16_t v) { bottom_ = v; graph_.Repaint(); }

void TAppearance::SetMinSteps(int16_t v) {
  // A step count below 1 would let the step finder accept any step.
  if (v <= 0 || !(v < maxSteps_ * 0.4)) return;
  minSteps_ = v;
  graph_.Repaint();
}

void TAppearance::SetMaxSteps(int16_t v) {
  if (!(v > minSteps_ * 2.5) || v > 90) return;
  maxSteps_ = v;
  graph_.Repaint();
}

}  // namespace chart
