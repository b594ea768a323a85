// The system menu replaced, for as long as the recorder lives, by one that
// records where it opened and what it offered, and answers `command`.
#pragma once

#include "SystemMenu.h"

#include <QPoint>
#include <QStringList>

#include <vector>

class MenuRecorder {
 public:
  explicit MenuRecorder(quint32 command);
  ~MenuRecorder();
  MenuRecorder(const MenuRecorder&) = delete;
  MenuRecorder& operator=(const MenuRecorder&) = delete;

  // The texts of the last menu's items.
  QStringList offered() const;

  std::vector<QPoint> shown;  // where each menu opened
  std::vector<ModAPI::MenuItem> lastItems;

 private:
  ModAPI::PopupMenu previous_;
};
