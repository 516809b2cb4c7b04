// The pages of the main window's tabs. Each page that is built registers its factory here:
//   pages.Set(1, [](const PageContext& context, QWidget* sheet) {
//     return std::make_unique<Tvantform>(context, sheet);
//   });
#include "frontend/command_page.h"
#include "frontend/compress_page.h"
#include "frontend/graphics_page.h"
#include "frontend/main_page.h"
#include "frontend/mix_page.h"
#include "frontend/page_registry.h"
#include "frontend/play_page.h"
#include "frontend/script_page.h"
#include "frontend/sound_page.h"

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
