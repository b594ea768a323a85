// Catalogue parsing and label layout. Up to the first line break the input is
// the command-line text; the rest is the catalogue text as UTF-8.
#include "FuzzSupport.h"
#include "LabelGroup.h"
#include "Module1.h"

#include <QByteArrayView>

using namespace Module1;

namespace {

// Labels measure like a fixed-pitch font of 105 x 210 twips, headings wider.
QSizeF FixedExtent(const QString& caption, bool bold) {
  return QSizeF(caption.size() * (bold ? 120.0 : 105.0), 210.0);
}

class Host : public CatalogueHost {
 public:
  LabelGroup& LB() override { return labels; }
  float WindowWidth() const override { return 9000; }
  void SetTitle(const QString&, const QString&) override {}

  CourierLabels labels{CourierEntry{}, FixedExtent};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView input(data, qsizetype(size));
  const qsizetype lineEnd = input.indexOf('\n');
  StartupArgument = lineEnd < 0 ? QString() : QString::fromUtf8(input.first(lineEnd));
  SelectedCourierIndex = -1;
  Host host;
  PlaceCatalogue(QString::fromUtf8(input.sliced(lineEnd + 1)), host);

  const auto& labels = host.labels.all();
  FUZZ_CHECK(!labels.empty() && labels.size() <= size_t(kMaxLabelIndex) + 1);
  for (size_t i = 0; i < labels.size(); ++i) {
    FUZZ_CHECK(labels[i].Index == int16_t(i));
    FUZZ_CHECK(labels[i].Width >= 0 && labels[i].Height >= 0);
  }
  FUZZ_CHECK(SelectedCourierIndex >= -1 && SelectedCourierIndex < int(labels.size()));
  if (SelectedCourierIndex >= 0) {
    FUZZ_CHECK(labels[size_t(SelectedCourierIndex)].Caption == StartupArgument);
  }
  return 0;
}
