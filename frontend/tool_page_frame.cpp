#include "frontend/tool_page_frame.h"

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

#include "frontend/file_controls.h"
#include "frontend/front_end.h"
#include "frontend/help.h"
#include "frontend/launcher.h"
#include "frontend/page_controls.h"
#include "frontend/page_registry.h"
#include "frontend/page_switches.h"
#include "frontend/page_utilities.h"
#include "frontend/text_format.h"

namespace frontend {

FileControls* AddInputFiles(QGroupBox* group, const std::string& prefix, FrontEnd& frontEnd) {
  auto* files = new FileControls(group);
  files->driveBox()->setObjectName(Shown(prefix + "drive"));
  files->directoryList()->setObjectName(Shown(prefix + "dir"));
  files->fileList()->setObjectName(Shown(prefix + "file"));
  files->filterBox()->setObjectName(Shown(prefix + "filter"));
  files->SetMultiSelect(true);
  (new QVBoxLayout(group))->addWidget(files);
  FrontEnd* fe = &frontEnd;
  files->onFileActivated = [fe](const std::string& path) {
    try {
      OpenFileByType(*fe, path);
    } catch (...) {
    }
  };
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
  ToolPageButtons buttons{new QPushButton(QString::fromUtf8(runCaption), page),
                          new QPushButton(QStringLiteral("&Defaults"), page),
                          new QPushButton(QStringLiteral("&Help"), page),
                          new QPushButton(QStringLiteral("Ho&w do I...?"), page),
                          new QPushButton(QStringLiteral("Back to &Main"), page)};
  FrontEnd* fe = &frontEnd;
  QObject::connect(buttons.run, &QPushButton::clicked, Guarded(std::move(run)));
  QObject::connect(buttons.defaults, &QPushButton::clicked, Guarded(std::move(defaults)));
  QObject::connect(buttons.help, &QPushButton::clicked, Guarded([fe] { ShowTabHelp(*fe); }));
  QObject::connect(buttons.howDoI, &QPushButton::clicked, Guarded([fe] { ShowHowDoIHelp(*fe); }));
  QObject::connect(buttons.back, &QPushButton::clicked, [fe] { fe->requests.Post(kMainTab); });
  SetCancelButton(*page, *buttons.back);

  auto* left = new QVBoxLayout;
  left->addWidget(inputGroup, 1);
  left->addWidget(outputGroup);
  auto* columns = new QHBoxLayout;
  columns->addLayout(left, 2);
  columns->addWidget(options, 3);
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QPushButton* button : {buttons.run, buttons.defaults, buttons.help, buttons.howDoI, buttons.back}) {
    row->addWidget(button);
  }
  auto* layout = new QVBoxLayout(page);
  layout->addLayout(columns, 1);
  layout->addLayout(row);
  return buttons;
}

}  // namespace frontend
