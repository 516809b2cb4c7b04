#include "frontend/shell/main_page.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <vector>

#include "frontend/core/front_end.h"
#include "frontend/core/help.h"
#include "frontend/core/launcher.h"
#include "frontend/core/message_boxes.h"
#include "frontend/core/request_queue.h"
#include "frontend/core/text_format.h"
#include "frontend/pages/page_utilities.h"
#include "frontend/shell/about_box.h"
#include "platform/face/frame_guard.h"

namespace frontend {

Tmainform::Tmainform(const PageContext& context, QWidget* sheet)
    : TabPage(sheet), frontEnd_(context.frontEnd) {
  struct Entry {
    const char* caption;
    std::function<void()> action;
  };
  struct Group {
    const char* title;
    std::vector<Entry> entries;
  };
  const std::vector<Group> groups = {
      {" &Compression Options: ",
       {{"Vant (compress) a graphics file", [this] { PostTab(kVantTab); }},
        {"Mix sound into a Vantrel file", [this] { PostTab(kMixerTab); }}}},
      {" &Playback Options: ",
       {{"Playback a Vantrel file", [this] { PostTab(kPlayerTab); }},
        {"Use the VantScript environment", [this] { PostTab(kScriptorTab); }},
        {"Change a Vantrel file frame rate", [this] { ChangeFrameRate(); }}}},
      {" &Utility Options: ",
       {{"Convert a graphics file", [this] { PostTab(kGraphicsTab); }},
        {"Convert a sound file", [this] { PostTab(kSoundTab); }},
        {"Use the Vantrel command line", [this] { PostTab(kCommandTab); }}}},
      {" &Support Options: ",
       {{"View your system information", [this] { SystemInformation(); }},
        {"Visit the Vantrel web page", [this] { WebPage(); }},
        {"&About", [this] { ShowAbout(); }},
        {"&Help", [this] { ShowTabHelp(frontEnd_); }},
        {"Ho&w do I...?", [this] { ShowHowDoIHelp(frontEnd_); }},
        {"E&xit", [this] { frontEnd_.requests.Post(kRequestClose); }}}},
  };
  auto* layout = new QGridLayout(this);
  int column = 0;
  for (const Group& group : groups) {
    auto* box = new QGroupBox(QString::fromUtf8(group.title), this);
    auto* boxLayout = new QVBoxLayout(box);
    for (const Entry& entry : group.entries) {
      auto* button = new QPushButton(QString::fromUtf8(entry.caption), box);
      QObject::connect(button, &QPushButton::clicked, platform::Guarded(entry.caption, entry.action));
      boxLayout->addWidget(button);
      if (!first_) first_ = button;
    }
    boxLayout->addStretch();
    layout->addWidget(box, column / 2, column % 2);
    ++column;
  }
  SetCancelButton(*this, *Button("E&xit"));
}

QPushButton* Tmainform::Button(const std::string& caption) const {
  for (QPushButton* button : findChildren<QPushButton*>()) {
    if (button->text().toStdString() == caption) return button;
  }
  return nullptr;
}

void Tmainform::FocusFirstControl() {
  if (first_) first_->setFocus();
}

void Tmainform::PostTab(TabNumber tab) { frontEnd_.requests.Post(tab); }

void Tmainform::ChangeFrameRate() {
  // The Mixer opens on its "Mixing" page with the focus on "Perm.".
  frontEnd_.frameRateRequest = true;
  PostTab(kMixerTab);
}

void Tmainform::SystemInformation() { RunProgramForPage(frontEnd_, "", "KdxSIW"); }

void Tmainform::WebPage() {
  if (!frontEnd_.starter().Start("xdg-open " + Quoted(kMakerWebAddress), "").started) {
    ErrorBox(frontEnd_, "Error, no web browser could be started to show " + std::string(kMakerWebAddress) + ".");
  }
}

void Tmainform::ShowAbout() {
  // Modal, but shown without a loop of its own: the main window's timer goes on meanwhile.
  auto* box = new Taboutwin(this);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace frontend
