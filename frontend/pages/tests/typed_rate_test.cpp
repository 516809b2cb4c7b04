// The rate field that the compress, Mixer and Sound Processor pages share, as a person uses it:
// the focus really moves into the typed field and out of it again.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include <functional>
#include <memory>

#include "frontend/pages/compress_page.h"
#include "frontend/pages/mix_page.h"
#include "frontend/pages/page_widgets.h"
#include "frontend/pages/sound_command.h"
#include "frontend/pages/sound_page.h"
#include "frontend/pages/tests/page_fixture.h"

using namespace frontend;

namespace {

struct RatePage {
  const char* name;
  int typedEntry;
  std::function<std::unique_ptr<TabPage>(const PageContext&, QWidget* sheet)> make;
  std::function<QComboBox&(TabPage&)> rateBox;
};

template <typename Page>
RatePage Made(const char* name, int typedEntry) {
  return {name, typedEntry,
          [](const PageContext& context, QWidget* sheet) { return std::make_unique<Page>(context, sheet); },
          [](TabPage& page) -> QComboBox& { return static_cast<Page&>(page).rateBox(); }};
}

class TypedRate : public frontend_testing::PageTest {
 protected:
  // Gives the widget the focus in the shown window; false when it never got it.
  static bool Focus(QWidget& widget) {
    widget.setFocus(Qt::TabFocusReason);
    return frontend_testing::PumpEventsUntil([&widget] { return widget.hasFocus(); }, 5000);
  }
};

TEST_F(TypedRate, AFieldLeftEmptyOrAtZeroGoesBackToCopyingTheInputRate) {
  const RatePage pages[] = {Made<Tvantform>("compress", kTypedRateEntry), Made<Tmixform>("Mixer", kTypedRateEntry),
                            Made<Ttowavform>("Sound Processor", kTypedSoundRate)};
  const struct {
    const char* typed;
    bool kept;
  } cases[] = {{"", false}, {"0", false}, {"000", false}, {"32000", true}};
  for (const RatePage& made : pages) {
    for (const auto& rate : cases) {
      SCOPED_TRACE(std::string(made.name) + " with \"" + rate.typed + "\"");
      auto* elsewhere = new QLineEdit(sheet_.get());
      std::unique_ptr<TabPage> page = made.make(Context(), sheet_.get());
      sheet_->resize(900, 600);
      sheet_->show();
      // Made after the first case has shown the window, so shown one by one.
      page->show();
      elsewhere->show();
      sheet_->activateWindow();
      ASSERT_TRUE(frontend_testing::PumpEventsUntil([this] { return sheet_->isActiveWindow(); }, 5000));
      QComboBox& box = made.rateBox(*page);
      // The options tab the field is on is shown, so that the field can take the focus.
      for (QWidget* child = &box; child->parentWidget(); child = child->parentWidget()) {
        if (auto* tabs = qobject_cast<QTabWidget*>(child->parentWidget()->parentWidget())) tabs->setCurrentWidget(child);
      }

      emit box.activated(made.typedEntry);
      ASSERT_TRUE(frontend_testing::PumpEventsUntil([&box] { return box.isEditable() && box.hasFocus(); }, 5000));
      box.setEditText(QString::fromUtf8(rate.typed));
      ASSERT_TRUE(Focus(*elsewhere));
      if (rate.kept) {
        for (int round = 0; round < 5; ++round) QCoreApplication::processEvents();
        EXPECT_TRUE(box.isEditable());
        EXPECT_EQ(box.currentText().toStdString(), rate.typed);
      } else {
        EXPECT_TRUE(frontend_testing::PumpEventsUntil([&box] { return !box.isEditable(); }, 5000));
        EXPECT_EQ(box.currentText().toStdString(), "Copy the input playback rate.");
      }
      page.reset();
      delete elsewhere;
    }
  }
}

}  // namespace
