#include "app/program_icon.h"

// The images live in a static library, where nothing would pull their
// resource in unless it is named once.
static void InitProgramResources() { Q_INIT_RESOURCE(pelvaro); }

namespace pelvaro::app {

QIcon ProgramIcon() {
  static const bool loaded = (InitProgramResources(), true);
  (void)loaded;
  QIcon icon;
  for (const int size : {24, 32, 48}) icon.addFile(QStringLiteral(":/pelvaro/pelvaro-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace pelvaro::app
