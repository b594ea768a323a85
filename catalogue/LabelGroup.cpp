#include "LabelGroup.h"

namespace Module1 {

CourierLabels::CourierLabels(const CourierEntry& design, TextExtent extent)
    : design_(design), extent_(std::move(extent)), labels_{design} {
  labels_.front().Index = 0;
}

// A new member takes member 0's place, size and caption, but the look of the
// design: when the catalogue starts with a heading, member 0 is bold and
// highlighted, and couriers copied from it must still look like couriers.
void CourierLabels::load(int16_t n) {
  if (n < 0) return;
  while (count() <= n) {
    CourierEntry copy = labels_.front();
    copy.Index = static_cast<int16_t>(count());
    copy.Visible = false;
    copy.bold = design_.bold;
    copy.ForeColor = design_.ForeColor;
    labels_.push_back(copy);
    noteChange(copy.Index);
  }
}

void CourierLabels::noteChange(int16_t n) {
  ++revision_;
  emit changed(n);
}

template <typename Change>
void CourierLabels::apply(int16_t n, Change change) {
  change(labels_.at(n));
  noteChange(n);
}

void CourierLabels::autoSize(CourierEntry& label) {
  const QSizeF extent = extent_(label.Caption, label.bold);
  label.Width = static_cast<float>(extent.width());
  label.Height = static_cast<float>(extent.height());
}

void CourierLabels::setCaption(int16_t n, const QString& caption) {
  apply(n, [&](CourierEntry& label) {
    label.Caption = caption;
    autoSize(label);
  });
}

void CourierLabels::setBold(int16_t n, bool bold) {
  apply(n, [&](CourierEntry& label) {
    label.bold = bold;
    autoSize(label);
  });
}

void CourierLabels::setTag(int16_t n, const QString& tag) {
  apply(n, [&](CourierEntry& label) { label.Tag = tag; });
}

void CourierLabels::setWidth(int16_t n, float width) {
  apply(n, [&](CourierEntry& label) { label.Width = width; });
}

void CourierLabels::setForeColor(int16_t n, uint32_t color) {
  apply(n, [&](CourierEntry& label) { label.ForeColor = color; });
}

void CourierLabels::setBackStyle(int16_t n, int16_t style) {
  apply(n, [&](CourierEntry& label) { label.BackStyle = style; });
}

void CourierLabels::setBackColor(int16_t n, uint32_t color) {
  apply(n, [&](CourierEntry& label) { label.BackColor = color; });
}

void CourierLabels::setVisible(int16_t n, bool visible) {
  apply(n, [&](CourierEntry& label) { label.Visible = visible; });
}

void CourierLabels::move(int16_t n, float left, float top, std::optional<float> width) {
  apply(n, [&](CourierEntry& label) {
    label.Left = left;
    label.Top = top;
    if (width) label.Width = *width;
  });
}

}  // namespace Module1
