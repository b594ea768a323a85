// The label group `LB`: the courier labels on the panel, which are the
// catalogue itself. `LabelGroup` is what the catalogue loader needs of such a
// group; `CourierLabels` is the group the main window shows, kept as plain data
// (one struct per label, painted by the panel) so that ten thousand labels cost
// no more than ten thousand small structs.
#pragma once

#include <QObject>
#include <QSizeF>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace Module1 {

// Colours are 0x00BBGGRR; 0x800000nn names system colour nn.
constexpr uint32_t kSelectedBackColor = 0x00C0C0FF;
constexpr uint32_t kSystemHighlight = 0x8000000D;
constexpr uint32_t kSystemButtonText = 0x80000012;
enum BackStyle : int16_t { Transparent = 0, Opaque = 1 };

// One catalogue item as shown. Positions and sizes are twips in the panel.
struct CourierEntry {
  int16_t Index = 0;
  QString Caption;
  QString Tag;
  float Left = 0, Top = 0, Width = 0, Height = 0;
  uint32_t ForeColor = kSystemButtonText;
  bool bold = false;
  int16_t BackStyle = Transparent;
  uint32_t BackColor = kSelectedBackColor;
  bool Visible = false;

  bool isHeading() const { return Caption == Tag; }
};

// The operations the loader performs on the group. Indexes are member indexes.
class LabelGroup {
 public:
  virtual ~LabelGroup() = default;

  // Creates member n as a copy of member 0, hidden.
  virtual void load(int16_t n) = 0;
  virtual void setCaption(int16_t n, const QString& caption) = 0;
  virtual void setTag(int16_t n, const QString& tag) = 0;
  virtual void setWidth(int16_t n, float width) = 0;
  virtual void setForeColor(int16_t n, uint32_t color) = 0;
  virtual void setBold(int16_t n, bool bold) = 0;
  virtual void setBackStyle(int16_t n, int16_t style) = 0;
  virtual void setBackColor(int16_t n, uint32_t color) = 0;
  virtual void setVisible(int16_t n, bool visible) = 0;
  virtual void move(int16_t n, float left, float top, std::optional<float> width = {}) = 0;
  virtual const CourierEntry& operator[](int16_t n) const = 0;
};

// The main window's label group. Every label sizes itself to its caption: a
// change of caption or of boldness sets width and height to the caption's
// text extent, which the window measures in the label's font.
//
// The group's events, Click and MouseMove with the member's index, are
// raised by what shows the group and sees the pointer (the window's panel);
// the group itself raises only `changed`.
class CourierLabels final : public QObject, public LabelGroup {
  Q_OBJECT

 public:
  // Text extent in twips of a caption in the label font, regular or bold.
  using TextExtent = std::function<QSizeF(const QString& caption, bool bold)>;

  // `design` is member 0 as the window design has it.
  CourierLabels(const CourierEntry& design, TextExtent extent);

  int count() const { return static_cast<int>(labels_.size()); }
  // Goes up with every change to any member: equal revisions, equal labels.
  quint64 revision() const { return revision_; }
  const std::vector<CourierEntry>& all() const { return labels_; }

  void load(int16_t n) override;
  void setCaption(int16_t n, const QString& caption) override;
  void setTag(int16_t n, const QString& tag) override;
  void setWidth(int16_t n, float width) override;
  void setForeColor(int16_t n, uint32_t color) override;
  void setBold(int16_t n, bool bold) override;
  void setBackStyle(int16_t n, int16_t style) override;
  void setBackColor(int16_t n, uint32_t color) override;
  void setVisible(int16_t n, bool visible) override;
  void move(int16_t n, float left, float top, std::optional<float> width = {}) override;
  const CourierEntry& operator[](int16_t n) const override { return labels_.at(n); }

 signals:
  // Press and release of the left button on member `Index`.
  void Click(int16_t Index);
  // Every move of the pointer over member `Index`.
  void MouseMove(int16_t Index);
  // After member `n` changed in any way, created included.
  void changed(int16_t n);

 private:
  void autoSize(CourierEntry& label);
  void noteChange(int16_t n);
  template <typename Change>
  void apply(int16_t n, Change change);

  CourierEntry design_;
  TextExtent extent_;
  std::vector<CourierEntry> labels_;
  quint64 revision_ = 0;
};

}  // namespace Module1
