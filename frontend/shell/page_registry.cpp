#include "frontend/shell/page_registry.h"

namespace frontend {
namespace {

const std::array<TabInfo, kTabCount> kTabs = {{
    {"Main", "Tmainform", 1107},
    {"Vant", "Tvantform", 1085},
    {"Mixer", "Tmixform", 1077},
    {"Player", "Tplayform", 1078},
    {"Scriptor", "Tscriptform", 1080},
    {"Graphics Processor", "Ttoflicform", 1081},
    {"Sound Processor", "Ttowavform", 1082},
    {"Command", "Tcommandform", 1083},
}};

}  // namespace

const TabInfo& Tab(int index) {
  return kTabs[static_cast<size_t>(index >= 0 && index < kTabCount ? index : 0)];
}

PageRegistry::PageRegistry() = default;

void PageRegistry::Set(int index, PageFactory factory) {
  if (index >= 0 && index < kTabCount) factories_[static_cast<size_t>(index)] = std::move(factory);
}

std::unique_ptr<TabPage> PageRegistry::Make(int index, const PageContext& context,
                                            QWidget* sheet) const {
  const PageFactory& factory = factories_[static_cast<size_t>(index)];
  std::unique_ptr<TabPage> page = factory ? factory(context, sheet) : nullptr;
  if (!page) page = std::make_unique<TabPage>(sheet);
  page->setObjectName(QString::fromUtf8(Tab(index).formName));
  return page;
}

}  // namespace frontend
