// The pages of the main window's tabs. Each page that is built registers its factory here:
//   pages.Set(1, [](const PageContext& context, QWidget* sheet) {
//     return std::make_unique<Tvantform>(context, sheet);
//   });
#include "frontend/command_page.h"
#include "frontend/compress_page.h"
#include "frontend/main_page.h"
#include "frontend/page_registry.h"

namespace frontend {

PageRegistry StandardPages() {
  PageRegistry pages;
  pages.Set(kMainTab, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tmainform>(context, sheet);
  });
  pages.Set(1, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tvantform>(context, sheet);
  });
  pages.Set(kCommandTab, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tcommandform>(context, sheet);
  });
  return pages;
}

}  // namespace frontend
