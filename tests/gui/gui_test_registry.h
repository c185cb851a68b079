#pragma once

// The GUI test classes of this executable, each registered by name so that
// CTest can run them one by one: pelvaro_gui_tests ClassName [Qt Test options].

#include <QObject>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace pelvaro::testing {

using GuiTestFactory = std::function<std::unique_ptr<QObject>()>;

std::map<std::string, GuiTestFactory>& GuiTests();

struct GuiTestRegistration {
  GuiTestRegistration(const char* name, GuiTestFactory factory) { GuiTests()[name] = std::move(factory); }
};

}  // namespace pelvaro::testing

#define PELVARO_GUI_TEST(Class)                                     \
  static const ::pelvaro::testing::GuiTestRegistration Class##Entry( \
      #Class, [] { return std::unique_ptr<QObject>(new Class); })
