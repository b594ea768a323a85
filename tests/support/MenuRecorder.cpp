#include "MenuRecorder.h"

MenuRecorder::MenuRecorder(quint32 command) : previous_(ModAPI::PopupMenuSource()) {
  ModAPI::PopupMenuSource() = [this, command](const std::vector<ModAPI::MenuItem>& items, int x,
                                              int y, ModAPI::HWND) {
    shown.push_back({x, y});
    lastItems = items;
    return command;
  };
}

MenuRecorder::~MenuRecorder() {
  ModAPI::PopupMenuSource() = previous_;
}

QStringList MenuRecorder::offered() const {
  QStringList texts;
  for (const auto& item : lastItems) texts << item.text;
  return texts;
}
