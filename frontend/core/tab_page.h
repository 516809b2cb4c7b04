#pragma once
// A page of the main window's tabs. It is made into its tab sheet when the tab is chosen and
// freed when another is chosen; it copies its settings from the record into its controls when
// made and back in SaveSettings, which the main window calls before freeing it.
#include <functional>
#include <memory>

#include <QWidget>

namespace frontend {

class FrontEnd;
class PopupMenus;

// The main window's tabs in their order; posting a tab's number selects it.
enum TabNumber : int {
  kMainTab,
  kVantTab,
  kMixerTab,
  kPlayerTab,
  kScriptorTab,
  kGraphicsTab,
  kSoundTab,
  kCommandTab,
  kTabCount
};

// What a page is made with.
struct PageContext {
  FrontEnd& frontEnd;
  PopupMenus& menus;  // attach the page's file controls here
};

class TabPage : public QWidget {
 public:
  explicit TabPage(QWidget* parent) : QWidget(parent) {}

  // Copies the controls back into the settings record.
  virtual void SaveSettings() {}
  // Re-reads the page's file lists (after a tool reported).
  virtual void RefreshFileLists() {}
  // Where the focus goes when the page is shown.
  virtual void FocusFirstControl() { setFocus(); }
  // Asked before the program closes while this page is shown (an unsaved text, say).
  virtual bool MayClose() { return true; }
};

using PageFactory = std::function<std::unique_ptr<TabPage>(const PageContext&, QWidget* sheet)>;

}  // namespace frontend
