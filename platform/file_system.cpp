#include "platform/file_system.h"

namespace pelvaro::platform {
namespace {

FileSystem* g_current = nullptr;

}  // namespace

FileSystem& Files() { return g_current ? *g_current : RealFileSystem(); }

FileSystemSwap::FileSystemSwap(FileSystem& replacement) : previous_(g_current) { g_current = &replacement; }

FileSystemSwap::~FileSystemSwap() { g_current = previous_; }

}  // namespace pelvaro::platform
