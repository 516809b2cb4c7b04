// The pages of the main window's tabs. Each page that is built registers its factory here:
//   pages.Set(1, [](const PageContext& context, QWidget* sheet) {
//     return std::make_unique<Tvantform>(context, sheet);
//   });
#include "frontend/pages/command_page.h"
#include "frontend/pages/compress_page.h"
#include "frontend/pages/graphics_page.h"
#include "frontend/pages/mix_page.h"
#include "frontend/pages/play_page.h"
#include "frontend/pages/script_page.h"
#include "frontend/pages/sound_page.h"
#include "frontend/shell/main_page.h"
#include "frontend/shell/page_registry.h"

namespace frontend {

PageRegistry StandardPages() {
  PageRegistry pages;
  pages.Set(kMainTab, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tmainform>(context, sheet);
  });
  pages.Set(1, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tvantform>(context, sheet);
  });
  pages.Set(2, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tmixform>(context, sheet);
  });
  pages.Set(3, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tplayform>(context, sheet);
  });
  pages.Set(4, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tscriptform>(context, sheet);
  });
  pages.Set(5, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Ttoflicform>(context, sheet);
  });
  pages.Set(6, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Ttowavform>(context, sheet);
  });
  pages.Set(kCommandTab, [](const PageContext& context, QWidget* sheet) {
    return std::make_unique<Tcommandform>(context, sheet);
  });
  return pages;
}

}  // namespace frontend
