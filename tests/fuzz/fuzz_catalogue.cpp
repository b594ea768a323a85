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
  float windowWidth() const override { return 9000; }

  CourierLabels labels{CourierEntry{}, FixedExtent};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView input(data, qsizetype(size));
  const qsizetype lineEnd = input.indexOf('\n');
  const QString startupArgument = lineEnd < 0 ? QString() : QString::fromUtf8(input.first(lineEnd));
  Host host;
  const StartupMatches matches =
      placeCatalogue(QString::fromUtf8(input.sliced(lineEnd + 1)), host, startupArgument);

  const auto& labels = host.labels.all();
  FUZZ_CHECK(!labels.empty() && labels.size() <= size_t(kMaxLabelIndex) + 1);
  for (size_t i = 0; i < labels.size(); ++i) {
    FUZZ_CHECK(labels[i].Index == int16_t(i));
    FUZZ_CHECK(labels[i].Width >= 0 && labels[i].Height >= 0);
    FUZZ_CHECK(labels[i].BackStyle == Transparent);
  }
  // Every label the argument names, each once and in order, and only those.
  size_t next = 0;
  for (size_t i = 0; i < labels.size(); ++i) {
    const bool named = labels[i].Caption == startupArgument;
    FUZZ_CHECK(named == (next < matches.size() && matches[next] == int16_t(i)));
    next += named;
  }
  FUZZ_CHECK(next == matches.size());
  return 0;
}
