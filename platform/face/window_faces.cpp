#include "platform/face/window_faces.h"

#include <dlfcn.h>

#include <cstdio>

#include "platform/system/program_start.h"
#include "platform/system/stop_signals.h"

namespace platform {
namespace {

WindowFaces*& FacesInPlace() {
  static WindowFaces* faces = nullptr;
  return faces;
}

struct ModuleLoad {
  bool tried = false;
  WindowFaces* faces = nullptr;
};

ModuleLoad& Module() {
  static ModuleLoad load;
  return load;
}

}  // namespace

void UseWindowFaces(WindowFaces& faces) { FacesInPlace() = &faces; }

std::string WindowFacesModulePath() {
  // Without the program's own path the loader's own search (the program's run path) is left.
  if (OwnProgramPath().empty()) return VANT_WINDOW_FACES_MODULE;
  return OwnProgramDirectory() + "/../lib/" VANT_MODULE_FOLDER "/" VANT_WINDOW_FACES_MODULE;
}

WindowFaces* LoadWindowFacesModule(const std::string& path, std::string& error) {
  // The module stays loaded for the life of the process: its windows may outlive any caller.
  void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr) {
    const char* reason = dlerror();
    error = reason ? reason : "cannot load " + path;
    return nullptr;
  }
  using Entry = WindowFaces* (*)();
  auto entry = reinterpret_cast<Entry>(dlsym(module, kWindowFacesEntry));
  WindowFaces* faces = entry ? entry() : nullptr;
  if (faces == nullptr) {
    error = path + " holds no window faces of this version";
    dlclose(module);
  }
  return faces;
}

WindowFaces* QtFaces() {
  if (FacesInPlace() != nullptr) return FacesInPlace();
  ModuleLoad& load = Module();
  if (!load.tried) {
    load.tried = true;
    std::string error;
    load.faces = LoadWindowFacesModule(WindowFacesModulePath(), error);
    // The module holds its own copy of the signal handling: it watches the program's.
    if (load.faces != nullptr) load.faces->WatchStopDescriptor(StopSignalDescriptor());
    if (load.faces == nullptr) {
      std::fprintf(stderr, "No windows: %s; the console serves instead.\n", error.c_str());
      std::fflush(stderr);
    }
  }
  return load.faces;
}

WindowFaces* QtFacesIfLoaded() {
  return FacesInPlace() != nullptr ? FacesInPlace() : Module().faces;
}

}  // namespace platform
