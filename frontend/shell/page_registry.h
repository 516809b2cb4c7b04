#pragma once
// The eight tabs of the main window and how their pages are made. A tab whose page is not built
// yet shows an empty container.
#include <array>
#include <string>

#include "frontend/core/tab_page.h"

namespace frontend {

struct TabInfo {
  const char* caption;
  const char* formName;
  int helpContext;
};

const TabInfo& Tab(int index);

class PageRegistry {
 public:
  PageRegistry();

  void Set(int index, PageFactory factory);
  // The tab's page, made into the sheet (an empty page when the tab has no factory).
  std::unique_ptr<TabPage> Make(int index, const PageContext& context, QWidget* sheet) const;

 private:
  std::array<PageFactory, kTabCount> factories_;
};

// The registry with every page the front end has; each page that is built adds itself here.
PageRegistry StandardPages();

}  // namespace frontend
