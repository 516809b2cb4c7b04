#include "platform/gui/qt_faces.h"

#include "platform/gui/stop_requests.h"

namespace platform {
namespace {

class LinkedQtFaces final : public WindowFaces {
 public:
  DialogResult RunDialog(const DialogRequest& request) override { return dialogs_->Run(request); }
  std::unique_ptr<StatusPanel> CreateStatusPanel(const std::string& title,
                                                 const std::string& versionLine,
                                                 StatusPanelEvents& events) override {
    return MakeQtStatusPanel(title, versionLine, events);
  }
  void ProcessEvents() override { ProcessQtEvents(); }
  void WatchStopDescriptor(int descriptor) override { WatchStopRequests(descriptor); }

 private:
  const std::unique_ptr<DialogFace> dialogs_ = MakeQtDialogFace();
};

}  // namespace

WindowFaces& QtWindowFaces() {
  static LinkedQtFaces faces;
  return faces;
}

void UseQtFacesInProcess() { UseWindowFaces(QtWindowFaces()); }

}  // namespace platform
