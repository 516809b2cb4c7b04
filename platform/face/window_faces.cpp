#include "platform/face/window_faces.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <vector>

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

// The folder of the running program, from the kernel's link (argv[0] may name it relatively).
std::string ProgramFolder() {
  std::vector<char> path(4096);
  const ssize_t length = readlink("/proc/self/exe", path.data(), path.size());
  if (length <= 0 || static_cast<size_t>(length) >= path.size()) return "";
  const std::string program(path.data(), static_cast<size_t>(length));
  const size_t slash = program.rfind('/');
  return slash == std::string::npos ? "" : program.substr(0, slash);
}

}  // namespace

void UseWindowFaces(WindowFaces& faces) { FacesInPlace() = &faces; }

std::string WindowFacesModulePath() {
  const std::string folder = ProgramFolder();
  // Without the program's folder the loader's own search (the program's run path) is left.
  if (folder.empty()) return VANT_WINDOW_FACES_MODULE;
  return folder + "/../lib/" VANT_WINDOW_FACES_MODULE;
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
