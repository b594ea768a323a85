#include "CourierSelection.h"

namespace Module1 {

CourierSelection::CourierSelection(LabelGroup& labels) : labels_(labels) {}

void CourierSelection::select(int16_t n) {
  if (n == selected_) return;
  const int16_t previous = selected_;
  if (previous >= 0) labels_.setBackStyle(previous, Transparent);
  selected_ = n;
  if (n >= 0) showSelected(n);
  emit selectionChanged(previous, n);
}

void CourierSelection::selectStartupMatches(const std::vector<int16_t>& matches) {
  for (const int16_t n : matches) showSelected(n);
  if (!matches.empty()) select(matches.back());
}

void CourierSelection::showSelected(int16_t n) {
  labels_.setBackStyle(n, Opaque);
  labels_.setBackColor(n, kSelectedBackColor);
}

int16_t defaultCourier(const CourierLabels& labels) {
  for (int16_t n = 1; n < labels.count(); ++n) {
    if (!labels[n].isHeading()) return n;
  }
  return labels[0].isHeading() ? int16_t(-1) : int16_t(0);
}

}  // namespace Module1
