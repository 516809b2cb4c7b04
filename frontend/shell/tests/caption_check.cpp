#include "frontend/shell/tests/caption_check.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QTabBar>
#include <QTextDocument>

namespace frontend_testing {
namespace {

// The part of the widget (in its own coordinates) that its parents up to the window leave
// visible.
QRect VisiblePart(const QWidget& widget, const QWidget& window) {
  QRect area = widget.rect();
  QPoint origin(0, 0);  // the widget's corner in the coordinates of the ancestor reached
  for (const QWidget* child = &widget; child != &window && child->parentWidget(); child = child->parentWidget()) {
    origin += child->pos();
    area &= child->parentWidget()->rect().translated(-origin);
  }
  return area;
}

QSize TextSize(const QWidget& widget, const QString& text) {
  return widget.fontMetrics().size(Qt::TextShowMnemonic, text);
}

struct Caption {
  QString text;
  QRect room;   // where the text is drawn, in the widget's coordinates
  QSize needs;  // what the text takes there
};

Caption ButtonCaption(const QPushButton& button) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.icon = button.icon();
  option.iconSize = button.iconSize();
  if (button.menu()) option.features |= QStyleOptionButton::HasMenu;
  if (button.isDefault()) option.features |= QStyleOptionButton::DefaultButton;
  if (button.isFlat()) option.features |= QStyleOptionButton::Flat;
  QRect room = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
  if (button.menu()) room.setWidth(room.width() - button.style()->pixelMetric(QStyle::PM_MenuButtonIndicator, &option, &button));
  if (!button.icon().isNull()) room.setWidth(room.width() - button.iconSize().width() - 4);
  return {button.text(), room, TextSize(button, button.text())};
}

template <typename Box>
Caption IndicatorCaption(const Box& box, QStyle::SubElement contents) {
  QStyleOptionButton option;
  option.initFrom(&box);
  option.text = box.text();
  const QRect room = box.style()->subElementRect(contents, &option, &box);
  return {box.text(), room, TextSize(box, box.text())};
}

Caption LabelCaption(const QLabel& label) {
  const QSize needs = label.wordWrap() ? QSize(label.width(), label.heightForWidth(label.width())) : label.sizeHint();
  return {label.text(), label.rect(), needs};
}

Caption GroupCaption(const QGroupBox& group) {
  QStyleOptionGroupBox option;
  option.initFrom(&group);
  option.text = group.title();
  option.lineWidth = 1;
  option.midLineWidth = 0;
  option.textAlignment = group.alignment();
  option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
  if (group.isCheckable()) option.subControls |= QStyle::SC_GroupBoxCheckBox;
  if (group.isFlat()) option.features |= QStyleOptionFrame::Flat;
  // The style places the title at the width its text takes; what lies outside the box is lost.
  const QRect label = group.style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, &group);
  return {group.title(), label & group.rect(), label.size()};
}

std::string Describe(const char* kind, const QWidget& widget, const Caption& caption, const QRect& shown) {
  std::string line = std::string(kind) + " \"" + caption.text.toStdString() + "\"";
  if (!widget.objectName().isEmpty()) line += " (" + widget.objectName().toStdString() + ")";
  return line + ": " + std::to_string(shown.width()) + "x" + std::to_string(shown.height()) + " shown, " +
         std::to_string(caption.needs.width()) + "x" + std::to_string(caption.needs.height()) + " needed";
}

void Check(const char* kind, const QWidget& widget, const QWidget& window, const Caption& caption,
           std::vector<std::string>& clipped) {
  if (caption.text.isEmpty()) return;
  const QRect shown = caption.room & VisiblePart(widget, window);
  if (shown.width() < caption.needs.width() || shown.height() < caption.needs.height()) {
    clipped.push_back(Describe(kind, widget, caption, shown));
  }
}

void CheckTabs(const QTabBar& bar, const QWidget& window, std::vector<std::string>& clipped) {
  const int spacing = bar.style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, &bar);
  for (int index = 0; index < bar.count(); ++index) {
    if (!bar.isTabVisible(index)) continue;
    const QSize text = TextSize(bar, bar.tabText(index));
    const Caption caption{bar.tabText(index), bar.tabRect(index), QSize(text.width() + spacing, text.height())};
    Check("tab", bar, window, caption, clipped);
  }
}

}  // namespace

std::vector<std::string> ClippedCaptions(const QWidget& window) {
  std::vector<std::string> clipped;
  for (const QWidget* widget : window.findChildren<QWidget*>()) {
    if (widget->window() != &window || !widget->isVisibleTo(&window)) continue;
    if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
      Check("check box", *box, window, IndicatorCaption(*box, QStyle::SE_CheckBoxContents), clipped);
    } else if (const auto* radio = qobject_cast<const QRadioButton*>(widget)) {
      Check("radio button", *radio, window, IndicatorCaption(*radio, QStyle::SE_RadioButtonContents), clipped);
    } else if (const auto* button = qobject_cast<const QPushButton*>(widget)) {
      Check("button", *button, window, ButtonCaption(*button), clipped);
    } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
      Check("label", *label, window, LabelCaption(*label), clipped);
    } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
      Check("group box", *group, window, GroupCaption(*group), clipped);
    } else if (const auto* bar = qobject_cast<const QTabBar*>(widget)) {
      CheckTabs(*bar, window, clipped);
    }
  }
  return clipped;
}

std::vector<std::string> StrayAmpersands(const QWidget& window) {
  static const QRegularExpression kAccelerator(QStringLiteral("&[A-Za-z]"));
  std::vector<std::string> stray;
  for (const QLabel* label : window.findChildren<QLabel*>()) {
    if (label->window() != &window || !label->isVisibleTo(&window) || label->buddy()) continue;
    if (label->textFormat() == Qt::RichText || (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()))) {
      continue;
    }
    if (label->text().contains(kAccelerator)) stray.push_back("label \"" + label->text().toStdString() + "\"");
  }
  return stray;
}

std::string Listed(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\n";
  return text;
}

}  // namespace frontend_testing
