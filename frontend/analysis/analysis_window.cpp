#include "frontend/analysis/analysis_window.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QVBoxLayout>
#include <cmath>
#include <limits>

#include "frontend/analysis/analysis_parts.h"
#include "frontend/analysis/analysis_range.h"
#include "frontend/chart/graph_painter.h"
#include "frontend/core/text_format.h"
#include "frontend/chart/graph_print.h"
#include "frontend/chart/graph_widget.h"
#include "platform/face/dialogs.h"
#include "platform/face/frame_guard.h"
#include "platform/gui/window_placement.h"
#include "platform/system/file_names.h"
#include "toolsupport/base/paths.h"
#include "toolsupport/base/text_words.h"

namespace frontend {

namespace {

// The front end's message boxes carry the main window's caption.
constexpr const char* kBoxCaption = "Vantrel for Windows";
constexpr const char* kLoadError = "Error loading Vantrel file.";
constexpr const char* kNoFrameRate =
    "This video has no frame rate: it plays as fast as it can, so it has no data rate to chart.";

constexpr int kSizeSeries = 2;
constexpr int kAverageSeries = 1;

int ToScrollValue(int64_t value) {
  return static_cast<int>(std::clamp<int64_t>(value, 1, std::numeric_limits<int>::max()));
}

chart::TColor ToTColor(const QColor& colour) {
  return chart::TColor(colour.red()) | chart::TColor(colour.green()) << 8 | chart::TColor(colour.blue()) << 16;
}

// Runs a handler so that nothing it throws reaches Qt.
void Guarded(const std::function<void()>& run) { platform::RunGuarded("The analysis window", run); }

}  // namespace

AnalysisWindows::AnalysisWindows() = default;

AnalysisWindows::~AnalysisWindows() { Close(); }

bool AnalysisWindows::Open(const std::string& fileName, QWidget* owner) {
  if (!window_) {
    window_ = new Ttunef(*this, owner);
  }
  if (!window_->OpenVideoFile(fileName)) {
    Close();
    return false;
  }
  window_->show();
  window_->raise();
  return true;
}

void AnalysisWindows::Close() {
  if (window_) {
    window_->close();
    delete window_.data();
  }
}

Ttunef::Ttunef(AnalysisWindows& windows, QWidget* owner) : QWidget(owner, Qt::Window), windows_(windows) {
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle("Vant Analyze");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 6, 2);
  layout->setSpacing(6);

  auto* panel = new QFrame(this);
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  auto* panelLayout = new QVBoxLayout(panel);
  panelLayout->setContentsMargins(1, 1, 1, 1);
  graph_ = new chart::TxyGraphWidget(panel);
  panelLayout->addWidget(graph_);
  layout->addWidget(panel, 1);

  scroll_ = new QScrollBar(Qt::Horizontal, this);
  scroll_->setRange(1, 1);
  connect(scroll_, &QScrollBar::valueChanged, this, [this](int position) { Guarded([&] { scrollChange(position); }); });
  layout->addWidget(scroll_);

  status_ = new StatusPanels({{"Right click on the graph for options.", 0, false},
                              {"Zoom In", 65, true},
                              {"Zoom Out", 70, true},
                              {"Zoom Default", 90, true},
                              {"Close", 50, true}},
                             this);
  status_->OnClick = [this](int clicked) { StatusClick(clicked); };
  layout->addWidget(status_);

  legend_ = MakeLegend(graph_);
  BuildMenu();
  SetUpGraph();
  resize(platform::ScaledForFont(QSize(500, 344), fontMetrics()));
  platform::OpenCentred(*this, platform::Centre::kOnScreen);
}

QAction* Ttunef::AddAction(MenuItem item, const char* caption, const QKeySequence& keys, std::function<void()> run) {
  auto* action = new QAction(caption, this);
  action->setShortcut(keys);
  connect(action, &QAction::triggered, this, [run = std::move(run)] { Guarded(run); });
  addAction(action);  // the shortcuts work while the window is active
  menu_->addAction(action);
  actions_[item] = action;
  return action;
}

void Ttunef::BuildMenu() {
  menu_ = new QMenu(this);
  const auto checkable = [](QAction* action, bool checked) {
    action->setCheckable(true);
    action->setChecked(checked);
  };
  AddAction(miClose, "Close", {}, [this] { close(); });
  menu_->addSeparator();
  AddAction(miZoomIn, "Zoom In", QKeySequence("Ctrl+I"), [this] { SetVisibleFrames(ZoomedIn(visible_)); });
  AddAction(miZoomOut, "Zoom Out", QKeySequence("Ctrl+O"), [this] { SetVisibleFrames(ZoomedOut(visible_)); });
  AddAction(miZoomDefault, "Zoom Default", QKeySequence("Ctrl+D"),
            [this] { SetVisibleFrames(DefaultVisibleFrames(frameGeometry().width())); });
  menu_->addSeparator();
  checkable(AddAction(miShowLegend, "Show Legend", QKeySequence("Ctrl+L"),
                      [this] { legend_->setVisible(actions_[miShowLegend]->isChecked()); }),
            false);
  checkable(AddAction(miShowValues, "Show Values", QKeySequence("Ctrl+V"),
                      [this] { graph_->Graph().Appearance().SetShowValues(actions_[miShowValues]->isChecked()); }),
            false);
  checkable(AddAction(miShowGrid, "Show Grid", QKeySequence("Ctrl+G"),
                      [this] { graph_->Graph().Appearance().SetShowGridLines(actions_[miShowGrid]->isChecked()); }),
            false);
  checkable(AddAction(miShowAverage, "Show 1 Second Ave.", QKeySequence("Ctrl+A"),
                      [this] {
                        chart::TSeries& average = graph_->Graph().GetSeries(kAverageSeries);
                        average.SetDrawPoints(actions_[miShowAverage]->isChecked());
                        average.SetDrawLine(actions_[miShowAverage]->isChecked());
                      }),
            true);
  checkable(AddAction(miShow2x, "Show 2x CD-ROM", QKeySequence("Ctrl+F2"), [this] { UpdateSpeedLines(); }), true);
  checkable(AddAction(miShow4x, "Show 4x CD-ROM", QKeySequence("Ctrl+F4"), [this] { UpdateSpeedLines(); }), false);
  checkable(AddAction(miShow1x, "Show 1x CD-ROM", QKeySequence("Ctrl+F1"), [this] { UpdateSpeedLines(); }), false);
  AddAction(miShowAsType, windows_.bytesPerSecond ? "Show as Bytes Per Frame" : "Show as Bytes Per Second",
            QKeySequence("Ctrl+S"), [this] { showastypeClick(); });
  menu_->addSeparator();
  AddAction(miCopyGraph, "Copy Graph", {}, [this] { CopyGraph(); });
  AddAction(miCopyValues, "Copy Values", QKeySequence("Ctrl+C"), [this] { PointstoClipboard1Click(); });
  AddAction(miPrintGraph, "Print Graph...", QKeySequence("Ctrl+P"), [this] { PrintGraph(); });
}

void Ttunef::SetUpGraph() {
  chart::TxyGraph& g = graph_->Graph();
  g.SetPlotting(false);  // until the first load
  graph_->SetBorder(false);
  QFont font("Arial");
  font.setPixelSize(11);
  graph_->setFont(font);
  g.SetColor(0xC0C0C0);
  g.DragAllowed = false;

  chart::TAxis& x = g.XAxis();
  x.SetTitle("Frames");
  x.SetLabelDecimals(0);
  x.SetMin(1);
  x.SetMax(15);
  x.SetStepSize(1);
  chart::TAxis& y = g.YAxis();
  y.SetTitle(windows_.bytesPerSecond ? "Bytes Per Second" : "Bytes Per Frame");
  y.SetLabelDecimals(0);
  y.SetMax(600000);
  y.SetStepSize(100000);
  y.SetMinScaleLength(1);

  chart::TDimensions& d = g.Dimensions();
  d.SetBottomMargin(45);
  d.SetLeftMargin(80);
  d.SetYAxisTitleOffset(21);
  d.SetYAxisLabelOffset(0);
  d.SetGraphTitleOffset(8);

  chart::TAppearance& look = g.Appearance();
  look.SetBackgroundColor(ToTColor(palette().color(QPalette::Button)));
  look.SetErrorCaption(" ");
  look.SetGridColor(0);
  look.SetShowGridLines(false);
  look.SetGridStyle(chart::gsSolid);
  look.SetShowMarks(true);
  look.SetShowTicks(false);
  look.SetGraphTitle(" ");

  g.GetSeries(kSizeSeries).SetLineColor(0x0000FF);
  g.GetSeries(kSizeSeries).SetPointColor(0x0000FF);
  g.GetSeries(kAverageSeries).SetLineColor(0x00FFFF);
  g.GetSeries(kAverageSeries).SetPointColor(0x00FFFF);
  for (int number : {kAverageSeries, kSizeSeries}) {
    chart::TSeries& s = g.GetSeries(static_cast<int16_t>(number));
    s.SetDrawLine(true);
    s.SetLineStyle(chart::lsSolid);
    s.SetDrawPoints(true);
    s.SetFillPoints(true);
    s.SetPointShape(chart::psCircle);
    s.SetPointSize(5);
  }

  graph_->OnMouseUp = [this](QMouseEvent& event) { lastMouseUpX_ = event.position().toPoint().x(); };
  graph_->OnDblClick = [this] { graphDblClick(); };
}

RateUnit Ttunef::Unit() const { return windows_.bytesPerSecond ? RateUnit::BytesPerSecond : RateUnit::BytesPerFrame; }

bool Ttunef::OpenVideoFile(const std::string& fileName) {
  std::string name = fileName;
  StripQuotes(name);
  if (FindExtension(name) == std::string::npos) name = platform::NameForOpening(name, ".vnt");
  MakeFullPath(name);
  fileName_ = name;
  const LoadOutcome outcome = LoadVideoFile();
  if (outcome == LoadOutcome::Loaded) return true;
  ReportLoadFailure(outcome);
  return false;
}

void Ttunef::ReportLoadFailure(LoadOutcome outcome) {
  if (outcome == LoadOutcome::NoFrameRate)
    platform::ShowMessageBox(kBoxCaption, kNoFrameRate, platform::DialogIcon::Information, this);
  else
    platform::ShowMessageBox(kBoxCaption, kLoadError, platform::DialogIcon::Error, this);
}

LoadOutcome Ttunef::LoadVideoFile() {
  chart::TxyGraph& g = graph_->Graph();
  largest_ = 0;
  g.SetPlotting(false);
  chart::TSeries& sizes = g.GetSeries(kSizeSeries);
  chart::TSeries& averages = g.GetSeries(kAverageSeries);
  sizes.Clear();
  averages.Clear();
  const LoadOutcome outcome = analysis_.Load(fileName_);
  if (outcome != LoadOutcome::Loaded) {
    g.SetPlotting(true);  // an empty chart, not a frozen one
    return outcome;
  }
  const RateUnit unit = Unit();
  for (size_t i = 0; i < analysis_.FrameCount(); ++i) {
    const double size = analysis_.SizeValue(i, unit);
    largest_ = std::max(largest_, size);
    sizes.AddPoint(double(i + 1), size);
    averages.AddPoint(double(i + 1), analysis_.AverageValue(i, unit));
  }

  ++updating_;
  g.XAxis().SetMin(1);
  SetVisibleFrames(DefaultVisibleFrames(frameGeometry().width()));
  scroll_->setMinimum(1);
  scroll_->setValue(1);
  --updating_;
  UpdateSpeedLines();

  const std::string shortName = NamePart(fileName_);
  setWindowTitle(QString::fromStdString("Vant Analyze: " + shortName));
  g.Appearance().SetGraphTitle(shortName);
  g.SetPlotting(true);
  return LoadOutcome::Loaded;
}

void Ttunef::UpdateSpeedLines() {
  chart::TxyGraph& g = graph_->Graph();
  g.SetPlotting(false);
  g.ClearMarks();
  const RateUnit unit = Unit();
  double top = 0;
  for (const SpeedLine& line : kSpeedLines) {
    const MenuItem item = line.speed == 1 ? miShow1x : line.speed == 2 ? miShow2x : miShow4x;
    if (!actions_[item]->isChecked()) continue;
    top = analysis_.SpeedLineValue(line.speed, unit);
    g.SetMark(line.markId, line.colour, 0, top, 0, 0, "", chart::mkHorizontalLine, 0);
  }
  top = RoundedAxisTop(std::max(top, largest_), unit);
  g.YAxis().SetStepSize(0.2 * top);
  g.YAxis().SetMax(top);
  g.SetPlotting(true);
}

void Ttunef::SetVisibleFrames(int64_t wanted) {
  chart::TxyGraph& g = graph_->Graph();
  ++updating_;
  g.SetPlotting(false);
  const VisibleFrames v = FitVisibleFrames(wanted, g.XAxis().Min(), analysis_.FrameCount());
  g.XAxis().SetMin(v.xMin);
  g.XAxis().SetMax(v.xMax);
  if (v.scrollMoved) scroll_->setValue(ToScrollValue(v.scrollPosition));
  visible_ = v.count;
  scroll_->setPageStep(ToScrollValue(v.largeChange));
  scroll_->setMaximum(ToScrollValue(v.scrollMax));
  g.SetPlotting(true);
  --updating_;
}

void Ttunef::scrollChange(int position) {
  if (updating_ != 0) return;
  chart::TxyGraph& g = graph_->Graph();
  g.SetPlotting(false);
  g.XAxis().SetMin(position);
  g.XAxis().SetMax(double(position) + double(visible_));
  g.SetPlotting(true);
}

void Ttunef::showastypeClick() {
  windows_.bytesPerSecond = !windows_.bytesPerSecond;
  actions_[miShowAsType]->setText(windows_.bytesPerSecond ? "Show as Bytes Per Frame" : "Show as Bytes Per Second");
  graph_->Graph().YAxis().SetTitle(windows_.bytesPerSecond ? "Bytes Per Second" : "Bytes Per Frame");
  const LoadOutcome outcome = LoadVideoFile();
  if (outcome != LoadOutcome::Loaded) ReportLoadFailure(outcome);
}

void Ttunef::PointstoClipboard1Click() {
  QApplication::clipboard()->setText(QString::fromStdString(analysis_.ValuesText(fileName_)));
}

void Ttunef::CopyGraph() { QApplication::clipboard()->setImage(grab().toImage()); }

bool Ttunef::PrintTo(QPrinter& printer) { return chart::PrintScaledToPage(printer, grab().toImage()); }

void Ttunef::PrintGraph() {
  if (!platform::DialogsAreInteractive()) return;  // nobody to choose a printer
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  if (dialog.exec() == QDialog::Accepted) PrintTo(printer);
}

void Ttunef::graphDblClick() {
  const double value = graph_->Graph().XPixelToValue(lastMouseUpX_ + 5);
  if (!std::isfinite(value)) return;
  const std::string info = analysis_.FrameInfo(static_cast<int64_t>(std::trunc(value)));
  if (!info.empty()) platform::ShowMessageBox(kBoxCaption, info, platform::DialogIcon::Information, this);
}

void Ttunef::StatusClick(int panel) {
  switch (panel) {
    case 1: actions_[miZoomIn]->trigger(); break;
    case 2: actions_[miZoomOut]->trigger(); break;
    case 3: actions_[miZoomDefault]->trigger(); break;
    case 4: close(); break;
    default: break;  // the hint panel
  }
}

void Ttunef::OpenPopupMenu() {
  const QRect frame = frameGeometry();
  menu_->popup(QPoint(frame.left() + frame.width() / 2, frame.top() + frame.height() / 4));
}

void Ttunef::ShowHelp() {
  const std::string keyword = "Analysis Window";
  if (windows_.help()) windows_.help()(keyword);
  else platform::ShowMessageBox(kBoxCaption, "No help is installed for \"" + keyword + "\".",
                                platform::DialogIcon::Information, this);
}

void Ttunef::keyPressEvent(QKeyEvent* event) {
  Guarded([&] {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter:
      case Qt::Key_Space: OpenPopupMenu(); break;
      case Qt::Key_Escape: close(); break;
      case Qt::Key_F1: ShowHelp(); break;
      default: QWidget::keyPressEvent(event); break;
    }
  });
}

void Ttunef::contextMenuEvent(QContextMenuEvent* event) {
  Guarded([&] { menu_->popup(event->globalPos()); });
}

void Ttunef::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Guarded([&] {
    const int width = frameGeometry().width();
    if (lastWidth_ > 0 && width != lastWidth_ && analysis_.FrameCount() > 0)
      SetVisibleFrames(FramesForWidth(width, visible_, lastWidth_));
    lastWidth_ = width;
  });
}

}  // namespace frontend
