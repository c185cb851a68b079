#pragma once

// A file system that passes every call to the real one, except the one a test
// asks to fail: the Nth call of a kind ends with the system's words for an
// errno value, without being made (a write first writes half its bytes, as a
// disk that fills up midway does). A hook runs before every call, so a test
// can change the folder between two calls, as another program would. While
// it lives, the program's reads and writes go through it.

#include "platform/file_system.h"
#include "platform/system_reason.h"

#include <cerrno>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace pelvaro::testing {

enum class FsCall {
  kInspectSource,
  kOpenForReading,
  kFactsOfOpen,
  kRead,
  kInspectTarget,
  kResolvedPath,
  kCreateNew,
  kCreateUnnamed,
  kWrite,
  kLinkUnnamed,
  kClose,
  kReplace,
  kMakeFolders,
};

class FaultyFileSystem final : public platform::FileSystem {
 public:
  using SystemError = platform::SystemError;
  template <class T>
  using SystemResult = platform::SystemResult<T>;
  using FileHandle = platform::FileHandle;

  FaultyFileSystem() : swap_(*this) {}

  // The `nth` call (from 1) of `call` fails with `errnoValue`'s words.
  void FailAt(FsCall call, int nth, int errnoValue) { faults_[call] = {nth, errnoValue}; }
  // Runs before each call with the path it names (empty for a call on an open file).
  std::function<void(FsCall, const std::string&)> before;
  // The size of each write asked for, in order.
  std::vector<std::size_t> writeSizes;
  // Every unnamed file is refused, as by a file system that makes none.
  void RefuseUnnamedFiles() { unnamedRefused_ = true; }
  int CallsOf(FsCall call) const {
    const auto it = calls_.find(call);
    return it == calls_.end() ? 0 : it->second;
  }

  SystemResult<platform::SourceFacts> InspectSource(const std::string& path) override {
    if (auto e = Fault(FsCall::kInspectSource, path)) return Fail(*e);
    return real_.InspectSource(path);
  }
  SystemResult<FileHandle> OpenForReading(const std::string& path) override {
    if (auto e = Fault(FsCall::kOpenForReading, path)) return Fail(*e);
    return real_.OpenForReading(path);
  }
  SystemResult<platform::SourceFacts> FactsOfOpen(FileHandle file) override {
    if (auto e = Fault(FsCall::kFactsOfOpen, {})) return Fail(*e);
    return real_.FactsOfOpen(file);
  }
  std::optional<platform::FileIdentity> IdentityOfOpen(FileHandle file) override { return real_.IdentityOfOpen(file); }
  SystemResult<std::size_t> Read(FileHandle file, std::span<std::uint8_t> into) override {
    if (auto e = Fault(FsCall::kRead, {})) return Fail(*e);
    return real_.Read(file, into);
  }
  void CloseAfterReading(FileHandle file) override { real_.CloseAfterReading(file); }

  SystemResult<platform::TargetFacts> InspectTarget(const std::string& path) override {
    if (auto e = Fault(FsCall::kInspectTarget, path)) return Fail(*e);
    return real_.InspectTarget(path);
  }
  SystemResult<std::string> ResolvedPath(const std::string& path) override {
    if (auto e = Fault(FsCall::kResolvedPath, path)) return Fail(*e);
    return real_.ResolvedPath(path);
  }
  SystemResult<FileHandle> CreateNew(const std::string& path, std::uint32_t mode) override {
    if (auto e = Fault(FsCall::kCreateNew, path)) return Fail(*e);
    return real_.CreateNew(path, mode);
  }
  SystemResult<FileHandle> CreateUnnamed(const std::string& folder) override {
    if (auto e = Fault(FsCall::kCreateUnnamed, folder)) return Fail(*e);
    if (unnamedRefused_) return Fail(SystemError{SystemError::Kind::kUnsupported, platform::SystemReason(EOPNOTSUPP)});
    return real_.CreateUnnamed(folder);
  }
  platform::SystemFailure WriteAll(FileHandle file, std::string_view bytes) override {
    writeSizes.push_back(bytes.size());
    if (auto e = Fault(FsCall::kWrite, {})) {
      (void)real_.WriteAll(file, bytes.substr(0, bytes.size() / 2));
      return e;
    }
    return real_.WriteAll(file, bytes);
  }
  void TakeAttributesOf(FileHandle file, std::uint32_t mode, std::uint32_t owner, std::uint32_t group) override {
    real_.TakeAttributesOf(file, mode, owner, group);
  }
  platform::SystemFailure LinkUnnamed(FileHandle file, const std::string& path) override {
    if (auto e = Fault(FsCall::kLinkUnnamed, path)) return e;
    return real_.LinkUnnamed(file, path);
  }
  // A close that fails has still let the file go, as close() does.
  platform::SystemFailure Close(FileHandle file) override {
    auto e = Fault(FsCall::kClose, {});
    auto closed = real_.Close(file);
    return e ? e : closed;
  }
  platform::SystemFailure Replace(const std::string& from, const std::string& to) override {
    if (auto e = Fault(FsCall::kReplace, to)) return e;
    return real_.Replace(from, to);
  }
  void Remove(const std::string& path) override { real_.Remove(path); }
  platform::SystemFailure MakeFolders(const std::string& folder) override {
    if (auto e = Fault(FsCall::kMakeFolders, folder)) return e;
    return real_.MakeFolders(folder);
  }

 private:
  struct Planned {
    int nth = 0;
    int errnoValue = 0;
  };

  std::optional<SystemError> Fault(FsCall call, const std::string& path) {
    if (before) before(call, path);
    const int n = ++calls_[call];
    const auto it = faults_.find(call);
    if (it == faults_.end() || it->second.nth != n) return std::nullopt;
    SystemError e{SystemError::Kind::kOther, platform::SystemReason(it->second.errnoValue)};
    if (it->second.errnoValue == EEXIST) e.kind = SystemError::Kind::kNameTaken;
    if (it->second.errnoValue == EOPNOTSUPP) e.kind = SystemError::Kind::kUnsupported;
    return e;
  }

  platform::FileSystem& real_ = platform::RealFileSystem();
  std::map<FsCall, Planned> faults_;
  std::map<FsCall, int> calls_;
  bool unnamedRefused_ = false;
  platform::FileSystemSwap swap_;
};

// Whether the real file system makes unnamed files in `folder` (not on
// Windows, nor on every Linux file system).
inline bool MakesUnnamedFilesIn(const std::string& folder) {
  auto made = platform::RealFileSystem().CreateUnnamed(folder);
  if (!made) return false;
  (void)platform::RealFileSystem().Close(*made);
  return true;
}

}  // namespace pelvaro::testing
