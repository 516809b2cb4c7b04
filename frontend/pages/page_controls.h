#pragma once
// The controls the tool pages are made of, and the one copying of a page's settings record into
// its controls and back.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "frontend/pages/page_widgets.h"

namespace frontend {

inline QString Shown(const std::string& text) { return QString::fromStdString(text); }

// Numbers are kept as texts of at most this many characters.
inline constexpr size_t kStoredNumberLength = 8;

// Which control shows which field of a page's settings record, so that the record goes into the
// controls and comes back by one list: check boxes, lists and number fields.
template <typename Record>
class RecordControls {
 public:
  void Bind(QCheckBox* box, bool Record::*flag) { flags_.push_back({box, flag}); }
  void Bind(QComboBox* box, int32_t Record::*index) { lists_.push_back({box, index}); }
  void Bind(QLineEdit* edit, std::string Record::*text, size_t width = kStoredNumberLength) {
    texts_.push_back({edit, text, width});
  }
  // A check box with the number it enables.
  void Bind(QCheckBox* box, QLineEdit* edit, bool Record::*enabled, std::string Record::*text) {
    Bind(box, enabled);
    Bind(edit, text);
  }

  // An index the list does not have shows its first entry.
  void Show(const Record& record) const {
    for (const auto& [box, flag] : flags_) box->setChecked(record.*flag);
    for (const auto& [box, index] : lists_) {
      const int32_t shown = record.*index;
      box->setCurrentIndex(shown >= 0 && shown < box->count() ? shown : 0);
    }
    for (const Text& text : texts_) text.edit->setText(Shown(record.*text.field));
  }
  void Read(Record& record) const {
    for (const auto& [box, flag] : flags_) record.*flag = box->isChecked();
    for (const auto& [box, index] : lists_) record.*index = std::max(box->currentIndex(), 0);
    for (const Text& text : texts_) record.*text.field = text.edit->text().toStdString().substr(0, text.width);
  }

 private:
  struct Text {
    QLineEdit* edit;
    std::string Record::*field;
    size_t width;
  };
  std::vector<std::pair<QCheckBox*, bool Record::*>> flags_;
  std::vector<std::pair<QComboBox*, int32_t Record::*>> lists_;
  std::vector<Text> texts_;
};

// A list of rates whose entry `typedEntry` turns it into a field where a rate is typed. Leaving
// the field with anything but a whole number above 0 gives the list back at its first entry.
class TypedRateBox {
 public:
  TypedRateBox(QComboBox* box, int typedEntry);

  bool typed() const { return box_->isEditable(); }
  // The list entry shown, -1 while a rate is typed; the typed text, empty while a list entry is.
  int Entry() const { return typed() ? -1 : box_->currentIndex(); }
  std::string TypedRate() const { return typed() ? box_->currentText().toStdString() : ""; }
  // Shows a list entry, or the field with the text.
  void ShowEntry(int index);
  void ShowTyped(const std::string& text);
  // Entry -1 shows the field with the text.
  void Show(int entry, const std::string& text);

 private:
  QComboBox* box_;
};

}  // namespace frontend
