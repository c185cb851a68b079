#pragma once

// The directory list of the folder chooser: the open folder with its
// ancestors above it, each indented one step further, and its subfolders
// below. A single click selects an entry, a double click opens it.

#include <QListWidget>
#include <QString>

namespace pelvaro::ui {

class DirectoryList : public QListWidget {
  Q_OBJECT

 public:
  explicit DirectoryList(QWidget* parent = nullptr);

  // The open folder, native separators.
  QString Path() const { return path_; }
  // Opens `path`, or its nearest existing ancestor when it does not exist;
  // empty text opens the root. The entry of the open folder becomes current.
  // Change is sent when the open folder is another than before.
  void SetPath(const QString& path);

  int ListIndex() const { return currentRow(); }
  // The full path of the entry at `index` (native separators; only a root
  // ends with a separator); empty text for no entry.
  QString List(int index) const;

 signals:
  void Change();  // another folder was opened
  void Click();   // the user selected another entry

 private:
  void Fill(const QString& folder);

  QString path_;
  bool filling_ = false;
};

}  // namespace pelvaro::ui
