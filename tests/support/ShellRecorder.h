// Replaces the shell's message box and web-address opener with recorders for
// as long as it lives; ending the program stays as it was.
#pragma once

#include "Shell.h"

#include <QStringList>

class ShellRecorder {
 public:
  ShellRecorder() : saved_(ModAPI::Shell()) {
    ModAPI::Shell().messageBox = [this](const QString&, const QString& text) { messages << text; };
    ModAPI::Shell().openAddressMinimized = [this](const QString& address) { opened << address; };
  }
  ~ShellRecorder() { ModAPI::Shell() = saved_; }
  ShellRecorder(const ShellRecorder&) = delete;
  ShellRecorder& operator=(const ShellRecorder&) = delete;

  QStringList messages;  // the texts of the message boxes
  QStringList opened;    // the addresses opened

 private:
  ModAPI::ShellSeams saved_;
};
