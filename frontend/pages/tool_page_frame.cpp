#include "frontend/pages/tool_page_frame.h"

#include <QAction>
#include <QActionGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

#include "frontend/core/text_format.h"
#include "frontend/files/file_controls.h"
#include "frontend/pages/page_controls.h"
#include "frontend/pages/page_switches.h"

namespace frontend {

FileControls* AddInputFiles(QGroupBox* group, const std::string& prefix, FrontEnd& frontEnd) {
  auto* files = new FileControls(group);
  files->SetPartNames(prefix);
  files->SetMultiSelect(true);
  (new QVBoxLayout(group))->addWidget(files);
  files->onFileActivated = OpenByType(frontEnd);
  return files;
}

QMenu* MakeTypeMenu(QWidget* parent, const char* const* captions, int count, QAction** actions,
                    std::function<void(int)> chosen) {
  auto* menu = new QMenu(parent);
  menu->setObjectName(QStringLiteral("typemenu"));
  auto* group = new QActionGroup(menu);
  for (int type = 0; type < count; ++type) {
    QAction* action = menu->addAction(QString::fromUtf8(captions[type]));
    action->setCheckable(true);
    group->addAction(action);
    actions[type] = action;
    QObject::connect(action, &QAction::triggered, Guarded([chosen, type] { chosen(type); }));
  }
  actions[0]->setChecked(true);
  menu->addSeparator();
  return menu;
}

QLineEdit* AddOutputName(QGroupBox* group, const char* name, QMenu* typeMenu) {
  auto* output = new QLineEdit(group);
  output->setObjectName(QString::fromUtf8(name));
  auto* typeButton = new QPushButton(QStringLiteral("&Type"), group);
  typeButton->setObjectName(QStringLiteral("outtype"));
  typeButton->setMenu(typeMenu);
  auto* layout = new QHBoxLayout(group);
  layout->addWidget(output, 1);
  layout->addWidget(typeButton);
  return output;
}

PaletteControls AddPaletteControls(QWidget* page, QGridLayout* grid, const std::string& prefix,
                                   std::function<void()> browse) {
  PaletteControls controls{};
  QLineEdit* name = controls.name = new QLineEdit(Shown(kInputPalette), page);
  name->setObjectName(QStringLiteral("palname"));
  auto* browseButton = new QPushButton(QStringLiteral("..."), page);
  browseButton->setObjectName(QStringLiteral("browsepal"));
  browseButton->setMaximumWidth(32);
  auto* paletteRow = new QHBoxLayout;
  paletteRow->addWidget(name, 1);
  paletteRow->addWidget(browseButton);
  int row = grid->count() == 0 ? 0 : grid->rowCount();
  grid->addWidget(new QLabel(QStringLiteral("Use/Create palette from: "), page), row, 0);
  grid->addLayout(paletteRow, row, 1);
  QObject::connect(browseButton, &QPushButton::clicked, Guarded(std::move(browse)));
  QObject::connect(name, &QLineEdit::editingFinished, [name] {
    if (TrimBlanks(name->text().toStdString()).empty()) name->setText(Shown(kInputPalette));
  });
  const struct {
    std::string name;
    const char* label;
    std::initializer_list<const char*> items;
    QComboBox** box;
  } lists[] = {
      {"halftone", "Halftone input files?", {"When high color.", "Always.", "Never."}, &controls.halftone},
      {"palcontrol", "8-bit input palettes?", {"Copy existing.", "Create new.", "New when changes."},
       &controls.paletteControl},
      {prefix + "wincol", "Win system colors?", {"On new palettes.", "Always.", "Never."}, &controls.windowsColors},
  };
  for (const auto& list : lists) {
    *list.box = Choice(page, list.name.c_str(), list.items);
    ++row;
    grid->addWidget(new QLabel(QString::fromUtf8(list.label), page), row, 0);
    grid->addWidget(*list.box, row, 1);
  }
  return controls;
}

ToolPageButtons LayOutToolPage(QWidget* page, FrontEnd& frontEnd, QWidget* inputGroup, QWidget* outputGroup,
                               QWidget* options, const char* runCaption, std::function<void()> run,
                               std::function<void()> defaults) {
  QPushButton* runButton = Button(page, runCaption, std::move(run));
  QPushButton* defaultsButton = Button(page, "&Defaults", std::move(defaults));
  const std::vector<QPushButton*> shared = HelpAndBackButtons(page, frontEnd);
  const ToolPageButtons buttons{runButton, defaultsButton, shared[0], shared[1], shared[2]};

  auto* left = new QVBoxLayout;
  left->addWidget(inputGroup, 1);
  left->addWidget(outputGroup);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 1);
  columns->addWidget(options, 1);
  LayOutPage(page, columns, {buttons.run, buttons.defaults, buttons.help, buttons.howDoI, buttons.back});
  return buttons;
}

}  // namespace frontend
