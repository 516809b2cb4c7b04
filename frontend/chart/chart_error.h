#pragma once
// The error the chart raises when a range cannot be scaled.
#include <stdexcept>

namespace chart {

// Raised when a range cannot be scaled; the message is the text shown to the user.
class ChartError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace chart
