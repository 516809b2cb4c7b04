#pragma once
// "Change File Attributes": the DOS attribute bits of one file as check boxes. Linux carries
// only Read only (the owner's write bit); Hidden shows a name that begins with '.', and System
// and Archive cannot be shown, so those three boxes cannot be changed.
#include <optional>
#include <string>

#include "frontend/files/dialog_window.h"

class QCheckBox;

namespace frontend {

inline constexpr int kAttributesHelpContext = 1106;

class Tattrform : public DialogWindow {
 public:
  Tattrform(FrontEnd& frontEnd, unsigned attributes);

  QCheckBox* readOnlyBox() const { return readOnly_; }
  QCheckBox* hiddenBox() const { return hidden_; }
  QCheckBox* systemBox() const { return system_; }
  QCheckBox* archiveBox() const { return archive_; }
  QPushButton* changeButton() const { return change_; }

  // The attributes with the boxes' bits; what "C&hange" keeps.
  unsigned Attributes() const;

 private:
  unsigned attributes_;
  QCheckBox* readOnly_;
  QCheckBox* hidden_;
  QCheckBox* system_;
  QCheckBox* archive_;
  QPushButton* change_;
};

// The new attributes, or nothing when cancelled. Without a window anybody can see, the dialog
// service is told and the attributes stay.
std::optional<unsigned> EditAttributes(FrontEnd& frontEnd, const std::string& file, unsigned attributes);

}  // namespace frontend
