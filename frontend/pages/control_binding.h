#pragma once
// Which control shows which field of a page's settings record, so that the record goes into
// the controls and comes back by one list: check boxes, check boxes with a number beside them,
// number fields and lists.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

#include <cstdint>
#include <string>
#include <vector>

namespace frontend {

// Numbers are kept as texts of at most this many characters.
inline constexpr size_t kStoredNumberLength = 8;

template <typename Record>
class ControlBinding {
 public:
  void Check(QCheckBox* box, bool Record::*field) { checks_.push_back({box, field}); }
  void Number(QLineEdit* edit, std::string Record::*field) { numbers_.push_back({edit, field}); }
  void CheckedNumber(QCheckBox* box, QLineEdit* edit, bool Record::*enabled, std::string Record::*text) {
    Check(box, enabled);
    Number(edit, text);
  }
  void List(QComboBox* box, int32_t Record::*field) { lists_.push_back({box, field}); }

  void Show(const Record& record) const {
    for (const auto& [box, field] : checks_) box->setChecked(record.*field);
    for (const auto& [edit, field] : numbers_) edit->setText(QString::fromStdString(record.*field));
    for (const auto& [box, field] : lists_) {
      const int32_t index = record.*field;
      box->setCurrentIndex(index >= 0 && index < box->count() ? index : 0);
    }
  }
  void Take(Record& record) const {
    for (const auto& [box, field] : checks_) record.*field = box->isChecked();
    for (const auto& [edit, field] : numbers_) {
      record.*field = edit->text().toStdString().substr(0, kStoredNumberLength);
    }
    for (const auto& [box, field] : lists_) record.*field = box->currentIndex();
  }

 private:
  template <typename Control, typename Field>
  struct Pair {
    Control* control;
    Field Record::*field;
  };
  std::vector<Pair<QCheckBox, bool>> checks_;
  std::vector<Pair<QLineEdit, std::string>> numbers_;
  std::vector<Pair<QComboBox, int32_t>> lists_;
};

}  // namespace frontend
