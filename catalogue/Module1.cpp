#include "Module1.h"

#include "Shell.h"
#include "mTextUTF.h"

#include <QStringList>

namespace Module1 {
namespace {

constexpr float kFirstLeft = 450;  // left edge of first-block rows and of column "B"
constexpr float kSecondColumnLeft = 4650;
constexpr float kIndexTop = 1500;

// Walks the items of the catalogue and places one label per item. Loader-local
// state: the section number, the label counter and the current column's left.
class Placer {
 public:
  explicit Placer(CatalogueHost& host) : host_(host), lb_(host.LB()) {}

  // Returns false once the label limit is reached.
  bool place(int section, const QStringList& fields) {
    if (n_ > kMaxLabelIndex) return false;
    const auto n = static_cast<int16_t>(n_);
    lb_.Move(0, kFirstLeft, 300, 900);
    if (n > 0) {
      lb_.Load(n);
      lb_.SetVisible(n, true);
    }
    if (section == 0)
      placeFirstBlockItem(n, fields);
    else
      placeIndexItem(n, fields);
    applySelection(n);
    ++n_;
    return true;
  }

 private:
  // First block: "name=code", in rows that wrap at the window's width. An item
  // without a code is shown with its text as both caption and tag, which makes
  // it unselectable like a heading instead of a courier that queries nothing.
  void placeFirstBlockItem(int16_t n, const QStringList& fields) {
    lb_.SetCaption(n, fields[0]);
    lb_.SetTag(n, fields.size() > 1 ? fields[1] : fields[0]);
    if (n == 0) return;
    const CourierEntry& p = lb_[n - 1];
    if (p.Left + p.Width + 1350 > host_.WindowWidth())
      lb_.Move(n, kFirstLeft, p.Top + p.Height + 300, 900);
    else
      lb_.Move(n, p.Left + p.Width + 450, p.Top, 900);
  }

  // Index block: "code=name" couriers after their heading, and headings that
  // start lines; "B" and "L" start the two columns.
  void placeIndexItem(int16_t n, const QStringList& fields) {
    lb_.SetWidth(n, 1200);
    if (fields.size() > 1)
      placeIndexCourier(n, fields[1]);
    else
      placeHeading(n, fields[0]);
    lb_.SetTag(n, fields[0]);
  }

  void placeIndexCourier(int16_t n, const QString& name) {
    lb_.SetCaption(n, name);
    if (n == 0) return;  // label 0 without a label before it: see placeHeading
    const CourierEntry& p = lb_[n - 1];
    lb_.Move(n, p.Left + p.Width + 375, p.Top);
  }

  void placeHeading(int16_t n, const QString& text) {
    lb_.SetWidth(n, 150);
    lb_.SetForeColor(n, kSystemHighlight);
    lb_.SetBold(n, true);
    if (text == QLatin1String("B")) {
      columnLeft_ = kFirstLeft;
      lb_.Move(n, kFirstLeft, kIndexTop);
    } else if (text == QLatin1String("L")) {
      columnLeft_ = kSecondColumnLeft;
      lb_.Move(n, kSecondColumnLeft, kIndexTop);
    } else if (n > 0) {
      const CourierEntry& p = lb_[n - 1];
      lb_.Move(n, columnLeft_, p.Top + p.Height + 225);
    }
    // With an empty first block the first index item is label 0 and has no
    // label before it to follow: it keeps the place every item gives label 0.
    lb_.SetCaption(n, text);
  }

  void applySelection(int16_t n) {
    const CourierEntry& label = lb_[n];
    if (label.Caption == StartupArgument) {
      SelectedCourierIndex = n;
      lb_.SetBackStyle(n, Opaque);
      lb_.SetBackColor(n, kSelectedBackColor);
      host_.SetTitle(label.Caption, label.Tag);
    } else {
      lb_.SetBackStyle(n, Transparent);
    }
  }

  CatalogueHost& host_;
  LabelGroup& lb_;
  int n_ = 0;
  int16_t columnLeft_ = 0;
};

void reportMissingCatalogue() {
  ModAPI::MsgBox(ModAPI::AppTitle(), kMissingCatalogueMessage);
  ModAPI::OpenAddressMinimized(ModAPI::VendorHomePage());
  ModAPI::EndProgram(kMissingCatalogueExitStatus);
}

}  // namespace

void PlaceCatalogue(const QString& text, CatalogueHost& host) {
  Placer placer(host);
  const QStringList sections = text.split(QLatin1Char('%'));
  for (int s = 0; s < sections.size(); ++s) {
    for (const QString& item : sections[s].split(QLatin1Char(','))) {
      if (item.isEmpty()) continue;
      if (!placer.place(s, item.split(QLatin1Char('=')))) return;
    }
  }
}

QString CataloguePath() {
  return ModAPI::AppPath() + QLatin1Char('/') + kCatalogueFileName;
}

bool LoadCourierCatalogue(CatalogueHost& host) {
  const QString path = CataloguePath();
  if (!ModAPI::IsNormalFile(path)) {
    reportMissingCatalogue();
    return false;
  }
  int32_t encoding = mTextUTF::kDetect;
  PlaceCatalogue(mTextUTF::ReadTextFile(path, encoding), host);
  return true;
}

}  // namespace Module1
