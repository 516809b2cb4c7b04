// The pages of the main window's tabs. Each page that is built registers its factory here:
//   pages.Set(1, [](const PageContext& context, QWidget* sheet) {
//     return std::make_unique<Tvantform>(context, sheet);
//   });
#include "frontend/page_registry.h"

namespace frontend {

PageRegistry StandardPages() {
  PageRegistry pages;
  return pages;
}

}  // namespace frontend
