// The selected courier: which label of the group `LB` the window's query
// uses, and the command-line text the start-up selection follows. Every
// selection goes through one place, select(): a click or a key on a courier,
// the start-up argument and the default. What may be chosen is the caller's
// rule (a click refuses headings; a command line may name one).
#pragma once

#include "LabelGroup.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <vector>

namespace Module1 {

class CourierSelection final : public QObject {
  Q_OBJECT

 public:
  explicit CourierSelection(LabelGroup& labels);

  // The command-line text after the program name, as one unparsed string.
  const QString& StartupArgument() const { return startupArgument_; }
  void setStartupArgument(const QString& text) { startupArgument_ = text; }

  // Index of the selected label; -1 means none.
  int16_t SelectedCourierIndex() const { return selected_; }

  // Selects label n: the label selected before turns transparent, label n
  // opaque in kSelectedBackColor. Selecting the selected label again
  // changes nothing.
  void select(int16_t n);

  // The start-up selection from `matches`, the labels whose caption equals
  // the start-up argument, in order: the last one is selected, and every
  // one of them takes the selected look, as a catalogue that names a
  // courier twice shows both.
  void selectStartupMatches(const std::vector<int16_t>& matches);

 signals:
  // After the selection moved from label `previous` to label `current`
  // (-1: none).
  void selectionChanged(int16_t previous, int16_t current);

 private:
  void showSelected(int16_t n);

  LabelGroup& labels_;
  QString startupArgument_;
  int16_t selected_ = -1;
};

// The courier the window selects when the command line names none: the
// first courier at or after label 1, since a heading there would send its
// letter as a courier's code; else label 0 when it is a courier; else -1.
int16_t defaultCourier(const CourierLabels& labels);

}  // namespace Module1
