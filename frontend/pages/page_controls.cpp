#include "frontend/pages/page_controls.h"

#include <QRegularExpressionValidator>
#include <QTimer>

#include <optional>

#include "frontend/pages/page_switches.h"

namespace frontend {
namespace {

// The handlers hold the list itself, never the TypedRateBox, so they may run while the page
// that owns both is being taken down.
void ShowRateEntry(QComboBox* box, int index) {
  box->setEditable(false);
  box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
}

void RateFieldLeft(QComboBox* box) {
  if (!box->isEditable()) return;
  const std::optional<int32_t> rate = WholeNumber(box->currentText().toStdString(), false);
  if (rate && *rate > 0) return;
  QTimer::singleShot(0, box, [box] { ShowRateEntry(box, 0); });
}

void ShowTypedRate(QComboBox* box, const std::string& text) {
  if (!box->isEditable()) {
    box->setEditable(true);
    box->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), box));
  }
  box->setCurrentIndex(-1);
  box->setEditText(Shown(text));
}

}  // namespace

TypedRateBox::TypedRateBox(QComboBox* box, int typedEntry) : box_(box) {
  box->setInsertPolicy(QComboBox::NoInsert);
  // The list holds the focus for its field (the field's focus goes to the list, which hands the
  // field its focus events directly), so it is the list that is watched.
  CallWhenFocusLeaves(box, [box] { RateFieldLeft(box); });
  QObject::connect(box, &QComboBox::activated, [box, typedEntry](int index) {
    // Carried out once the list has closed.
    QTimer::singleShot(1, box, [box, typedEntry, index] {
      if (index != typedEntry) {
        if (box->isEditable()) ShowRateEntry(box, index);
        return;
      }
      ShowTypedRate(box, "");
      box->lineEdit()->setFocus();
    });
  });
}

void TypedRateBox::ShowEntry(int index) { ShowRateEntry(box_, index); }

void TypedRateBox::ShowTyped(const std::string& text) { ShowTypedRate(box_, text); }

void TypedRateBox::Show(int entry, const std::string& text) {
  if (entry < 0) {
    ShowTyped(text);
  } else {
    ShowEntry(entry);
  }
}

}  // namespace frontend
