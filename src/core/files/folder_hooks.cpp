#include "core/files/folder_hooks.h"

#include <mutex>
#include <utility>

namespace kestrova::files {
namespace {

std::mutex& HooksMutex() {
  static std::mutex mutex;
  return mutex;
}

FolderHooks& Hooks() {
  static FolderHooks hooks;
  return hooks;
}

}  // namespace

FolderHooks InstalledFolderHooks() {
  std::lock_guard<std::mutex> guard(HooksMutex());
  return Hooks();
}

FolderHooks InstallFolderHooks(FolderHooks hooks) {
  std::lock_guard<std::mutex> guard(HooksMutex());
  return std::exchange(Hooks(), std::move(hooks));
}

}  // namespace kestrova::files
