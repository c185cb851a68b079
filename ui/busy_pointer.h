#pragma once

// The hourglass of a command that reads or writes files (pointer value 11),
// put back to the default (0) when the guard ends, whichever way the command
// leaves: a normal return, an early return or an exception.

namespace pelvaro::ui {

class BusyPointer {
 public:
  BusyPointer();
  ~BusyPointer();
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

  // Whether a command has the busy pointer up right now.
  static bool Active();
};

// The ordinary arrow over a box that waits for an answer while a command is
// busy; does nothing when no command is.
class ArrowWhileAsking {
 public:
  ArrowWhileAsking();
  ~ArrowWhileAsking();
  ArrowWhileAsking(const ArrowWhileAsking&) = delete;
  ArrowWhileAsking& operator=(const ArrowWhileAsking&) = delete;

 private:
  bool pushed_;
};

}  // namespace pelvaro::ui
