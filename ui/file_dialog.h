#pragma once

// The desktop's file dialog for one request, not yet shown. A save dialog
// keeps the name in its name box while the user moves between folders: a
// folder's name taken into the box on the way is replaced by the name the
// user last had there, so the proposal is never lost.

#include "ui/interaction.h"

#include <memory>

class QFileDialog;
class QWidget;

namespace pelvaro::ui {

std::unique_ptr<QFileDialog> MakeFileDialog(QWidget* parent, const FileDialogRequest& request);

}  // namespace pelvaro::ui
