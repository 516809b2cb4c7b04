#pragma once
// The Main page: one button for each thing the toolkit does, each leading to its tab, and the
// support buttons (system information, the maker's web page, help, about, exit).
#include <functional>
#include <string>

#include "frontend/core/tab_page.h"

class QPushButton;

namespace frontend {

inline constexpr const char* kMakerWebAddress = "https://vantrel.example.com/";

class Tmainform : public TabPage {
 public:
  Tmainform(const PageContext& context, QWidget* sheet);

  // The button of that caption (as shown, with its '&'), or null.
  QPushButton* Button(const std::string& caption) const;
  void FocusFirstControl() override;

 private:
  void PostTab(TabNumber tab);
  void ChangeFrameRate();
  void SystemInformation();
  void WebPage();
  void ShowAbout();

  FrontEnd& frontEnd_;
  QPushButton* first_ = nullptr;
};

}  // namespace frontend
