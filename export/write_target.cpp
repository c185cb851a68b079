#include "export/write_target.h"

#include "platform/file_system.h"
#include "platform/system_reason.h"

#include <cerrno>

namespace pelvaro::exporter {
namespace {

using Fault = WriteError::Fault;
using Kind = platform::TargetFacts::Kind;

Result<WriteTarget, WriteError> SystemRefusal(const std::string& path, std::string reason) {
  return Fail(WriteError::System(path, std::move(reason)));
}

Result<WriteTarget, WriteError> Refusal(const std::string& path, Fault fault) {
  return Fail(WriteError::Refused(path, fault));
}

}  // namespace

Result<WriteTarget, WriteError> InspectWriteTarget(const std::string& path,
                                                   const std::optional<platform::FileIdentity>& openArchive) {
  WriteTarget target{path};
  platform::FileSystem& files = platform::Files();
  const auto facts = files.InspectTarget(path);
  if (!facts) return SystemRefusal(path, facts.error().reason);
  if (facts->kind == Kind::kMissing) return target;  // a new file
  if (facts->kind == Kind::kBrokenLink) return Refusal(path, Fault::kNotRegularFile);
  if (openArchive && facts->identity && *openArchive == *facts->identity) return Refusal(path, Fault::kOpenArchive);
  if (facts->kind == Kind::kFolder) return SystemRefusal(path, platform::SystemReason(EISDIR));
  if (facts->kind != Kind::kRegular) return Refusal(path, Fault::kNotRegularFile);
  // Not even for root, who could write it: a file nobody may write is meant
  // to stay, as Windows keeps a read-only one (which it will not rename over).
  if (!facts->writable) return SystemRefusal(path, platform::SystemReason(EACCES));
  if (facts->link) {
    // Where the link leads, every link on the way resolved: the new file is
    // made in that folder and renamed over that file.
    auto resolved = files.ResolvedPath(path);
    if (!resolved) return SystemRefusal(path, resolved.error().reason);
    target.path = std::move(*resolved);
  }
  target.replaces = true;
  target.mode = facts->mode;
  target.owner = facts->owner;
  target.group = facts->group;
  return target;
}

}  // namespace pelvaro::exporter
