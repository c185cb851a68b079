#include "ui/busy_pointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace pelvaro::ui {
namespace {
int busyDepth = 0;  // GUI thread only
}

BusyPointer::BusyPointer() {
  QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  ++busyDepth;
}

BusyPointer::~BusyPointer() {
  --busyDepth;
  QGuiApplication::restoreOverrideCursor();
}

bool BusyPointer::Active() { return busyDepth > 0; }

ArrowWhileAsking::ArrowWhileAsking() : pushed_(BusyPointer::Active()) {
  if (pushed_) QGuiApplication::setOverrideCursor(QCursor(Qt::ArrowCursor));
}

ArrowWhileAsking::~ArrowWhileAsking() {
  if (pushed_) QGuiApplication::restoreOverrideCursor();
}

}  // namespace pelvaro::ui
