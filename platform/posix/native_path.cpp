#include "platform/native_path.h"

namespace pelvaro::platform {

// The file system takes the bytes as they are.
NativePath ToNativePath(std::string_view utf8) { return std::string(utf8); }
std::string FromNativePath(const NativePath& native) { return native; }

}  // namespace pelvaro::platform
