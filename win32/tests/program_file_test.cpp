// pelvaro.exe as a file: a GUI program that needs no DLL of the compiler, with
// the icon in three sizes, the manifest, and the product title as its file
// description.

#include "pelvaro_version.h"
#include "win32/wide_text.h"

#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace pelvaro::win32::testing {
namespace {

std::wstring ProgramPath() {
  wchar_t self[MAX_PATH] = L"";
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path.resize(path.find_last_of(L"\\/") + 1);
  return path + Widen(PELVARO_EXE_NAME);
}

class ProgramFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    ASSERT_NE(module, nullptr) << Narrow(ProgramPath());
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  std::string Resource(LPCWSTR type, LPCWSTR name) const {
    HRSRC found = FindResourceW(module, name, type);
    if (!found) return {};
    const auto* bytes = static_cast<const char*>(LockResource(LoadResource(module, found)));
    return std::string(bytes, SizeofResource(module, found));
  }
  HMODULE module = nullptr;
};

TEST_F(ProgramFileTest, ItsFileDescriptionIsTheProductTitle) {
  const std::wstring path = ProgramPath();
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<std::uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
  wchar_t* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\041104b0\\FileDescription",
                             reinterpret_cast<void**>(&value), &length));
  EXPECT_EQ(std::wstring(value), Widen(kProductTitle));
  VS_FIXEDFILEINFO* fixed = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), kVersionMajor);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionMS), kVersionMinor);
  EXPECT_EQ(LOWORD(fixed->dwFileVersionLS), kVersionRevision);
}

TEST_F(ProgramFileTest, ItsIconHas24And32And48PixelImages) {
  const std::string group = Resource(RT_GROUP_ICON, MAKEINTRESOURCEW(1));
  ASSERT_GE(group.size(), 6u);
  const auto count = static_cast<std::size_t>(static_cast<std::uint8_t>(group[4]) | (static_cast<std::uint8_t>(group[5]) << 8));
  ASSERT_EQ(group.size(), 6 + 14 * count);  // GRPICONDIR, then one 14-byte entry per image
  std::set<int> sizes;
  for (std::size_t i = 0; i < count; ++i) sizes.insert(static_cast<std::uint8_t>(group[6 + 14 * i]));
  EXPECT_EQ(sizes, (std::set<int>{24, 32, 48}));
}

TEST_F(ProgramFileTest, ItsManifestAsksForCommonControls6AndDeclaresDpiAwareness) {
  const std::string manifest = Resource(RT_MANIFEST, MAKEINTRESOURCEW(1));
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("version=\"6.0.0.0\""), std::string::npos);
  EXPECT_NE(manifest.find("<dpiAware"), std::string::npos);
}

// The headers and the imported DLLs' names, read from the file itself.
struct ProgramImage {
  WORD subsystem = 0;
  std::vector<std::string> imports;
};

ProgramImage ReadImage(const std::wstring& path) {
  ProgramImage image;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return image;
  LARGE_INTEGER size{};
  GetFileSizeEx(file, &size);
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size.QuadPart));
  DWORD read = 0;
  ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  CloseHandle(file);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew);
  image.subsystem = nt->OptionalHeader.Subsystem;
  const auto* sections = IMAGE_FIRST_SECTION(nt);
  const auto offsetOf = [&](DWORD rva) -> std::size_t {
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i) {
      const auto& s = sections[i];
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData)
        return rva - s.VirtualAddress + s.PointerToRawData;
    }
    return 0;
  };
  const DWORD importsRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
  for (auto at = offsetOf(importsRva); at != 0 && at + sizeof(IMAGE_IMPORT_DESCRIPTOR) <= bytes.size();
       at += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
    const auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(bytes.data() + at);
    if (entry->Name == 0) break;
    std::string name(reinterpret_cast<const char*>(bytes.data() + offsetOf(entry->Name)));
    std::transform(name.begin(), name.end(), name.begin(), [](char c) { return static_cast<char>(std::tolower(c)); });
    image.imports.push_back(name);
  }
  return image;
}

TEST(ProgramFile, IsAGuiProgramThatNeedsOnlyTheSystemsDlls) {
  const ProgramImage image = ReadImage(ProgramPath());
  EXPECT_EQ(image.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
  ASSERT_FALSE(image.imports.empty());
  for (const std::string& dll : image.imports) {
    EXPECT_EQ(dll.find("libstdc++"), std::string::npos) << dll;
    EXPECT_EQ(dll.find("libgcc"), std::string::npos) << dll;
    EXPECT_EQ(dll.find("libwinpthread"), std::string::npos) << dll;
    EXPECT_EQ(dll.find("zlib"), std::string::npos) << dll;
  }
}

}  // namespace
}  // namespace pelvaro::win32::testing
