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
  Placer(CatalogueHost& host, const QString& startupArgument)
      : host_(host), lb_(host.LB()), startupArgument_(startupArgument) {}

  const StartupMatches& startupMatches() const { return matches_; }

  // Returns false once the label limit is reached.
  bool place(int section, const QStringList& fields) {
    if (n_ > kMaxLabelIndex) return false;
    const auto n = static_cast<int16_t>(n_);
    lb_.move(0, kFirstLeft, 300, 900);
    if (n > 0) {
      lb_.load(n);
      lb_.setVisible(n, true);
    }
    if (section == 0)
      placeFirstBlockItem(n, fields);
    else
      placeIndexItem(n, fields);
    // Transparent as any unselected label, whatever label 0 looked like;
    // the selection gives the start-up matches their look.
    lb_.setBackStyle(n, Transparent);
    if (lb_[n].Caption == startupArgument_) matches_.push_back(n);
    ++n_;
    return true;
  }

 private:
  // First block: "name=code", in rows that wrap at the window's width. An item
  // without a code is shown with its text as both caption and tag, which makes
  // it unselectable like a heading instead of a courier that queries nothing.
  void placeFirstBlockItem(int16_t n, const QStringList& fields) {
    lb_.setCaption(n, fields[0]);
    lb_.setTag(n, fields.size() > 1 ? fields[1] : fields[0]);
    if (n == 0) return;
    const CourierEntry& p = lb_[n - 1];
    if (p.Left + p.Width + 1350 > host_.windowWidth())
      lb_.move(n, kFirstLeft, p.Top + p.Height + 300, 900);
    else
      lb_.move(n, p.Left + p.Width + 450, p.Top, 900);
  }

  // Index block: "code=name" couriers after their heading, and headings that
  // start lines; "B" and "L" start the two columns.
  void placeIndexItem(int16_t n, const QStringList& fields) {
    lb_.setWidth(n, 1200);
    if (fields.size() > 1)
      placeIndexCourier(n, fields[1]);
    else
      placeHeading(n, fields[0]);
    lb_.setTag(n, fields[0]);
  }

  void placeIndexCourier(int16_t n, const QString& name) {
    lb_.setCaption(n, name);
    if (n == 0) return;  // label 0 without a label before it: see placeHeading
    const CourierEntry& p = lb_[n - 1];
    lb_.move(n, p.Left + p.Width + 375, p.Top);
  }

  void placeHeading(int16_t n, const QString& text) {
    lb_.setWidth(n, 150);
    lb_.setForeColor(n, kSystemHighlight);
    lb_.setBold(n, true);
    if (text == QLatin1String("B")) {
      columnLeft_ = kFirstLeft;
      lb_.move(n, kFirstLeft, kIndexTop);
    } else if (text == QLatin1String("L")) {
      columnLeft_ = kSecondColumnLeft;
      lb_.move(n, kSecondColumnLeft, kIndexTop);
    } else if (n > 0) {
      const CourierEntry& p = lb_[n - 1];
      lb_.move(n, columnLeft_, p.Top + p.Height + 225);
    }
    // With an empty first block the first index item is label 0 and has no
    // label before it to follow: it keeps the place every item gives label 0.
    lb_.setCaption(n, text);
  }

  CatalogueHost& host_;
  LabelGroup& lb_;
  const QString& startupArgument_;
  StartupMatches matches_;
  int n_ = 0;
  int16_t columnLeft_ = 0;
};

void reportMissingCatalogue() {
  ModAPI::MsgBox(ModAPI::AppTitle(), kMissingCatalogueMessage);
  ModAPI::OpenAddressMinimized(ModAPI::VendorHomePage());
  ModAPI::EndProgram(kMissingCatalogueExitStatus);
}

}  // namespace

StartupMatches placeCatalogue(const QString& text, CatalogueHost& host,
                              const QString& startupArgument) {
  Placer placer(host, startupArgument);
  const QStringList sections = text.split(QLatin1Char('%'));
  for (int s = 0; s < sections.size(); ++s) {
    for (const QString& item : sections[s].split(QLatin1Char(','))) {
      if (item.isEmpty()) continue;
      if (!placer.place(s, item.split(QLatin1Char('=')))) return placer.startupMatches();
    }
  }
  return placer.startupMatches();
}

QString cataloguePath() {
  return ModAPI::AppPath() + QLatin1Char('/') + kCatalogueFileName;
}

std::optional<StartupMatches> LoadCourierCatalogue(CatalogueHost& host,
                                                   const QString& startupArgument) {
  const QString path = cataloguePath();
  // A catalogue that cannot be read is as missing as one that is not there:
  // either way the user has to get the file back.
  if (!ModAPI::IsReadableFile(path)) {
    reportMissingCatalogue();
    return std::nullopt;
  }
  int32_t encoding = mTextUTF::kDetect;
  return placeCatalogue(mTextUTF::ReadTextFile(path, encoding), host, startupArgument);
}

}  // namespace Module1
