#include "GdiScale.h"

#include <algorithm>
#include <array>
#include <vector>

namespace ModAPI {
namespace {

// The old pixels that new pixel `to` covers on one axis, with their shares.
// The axis is measured in units of 1/(kDensitySteps x factor) of an old
// pixel: an old pixel is `factor` units long, a new one kDensitySteps, so
// every share is a whole number.
struct Share {
  int from;
  qint64 weight;
};
using Shares = std::vector<std::vector<Share>>;

Shares sharesOf(int oldLength, int newLength, qint64 factor, qint64 phase) {
  Shares shares(static_cast<size_t>(newLength));
  const qint64 oldEnd = oldLength * factor;
  for (int to = 0; to < newLength; ++to) {
    const qint64 start = to * kDensitySteps + phase;
    const qint64 begin = std::max<qint64>(start, 0);
    const qint64 end = std::min(start + kDensitySteps, oldEnd);
    if (begin >= oldEnd) {
      shares[size_t(to)].push_back({oldLength - 1, 1});
      continue;
    }
    for (qint64 from = begin / factor; from * factor < end; ++from) {
      const qint64 overlap = std::min(end, (from + 1) * factor) - std::max(begin, from * factor);
      shares[size_t(to)].push_back({int(from), overlap});
    }
  }
  return shares;
}

qint64 Total(const std::vector<Share>& shares) {
  qint64 total = 0;
  for (const Share& share : shares) total += share.weight;
  return total;
}

// New pixels enough to cover the old ones from the phase on, and one more.
int NewLength(int oldLength, qint64 factor, qint64 phase) {
  return int((oldLength * factor - phase + kDensitySteps - 1) / kDensitySteps) + 1;
}

using Channels = std::array<qint64, 3>;

}  // namespace

QImage ScaledByArea(const QImage& picture, qint64 factor, QPoint phase) {
  if (picture.isNull() || factor < 1) return {};
  const QImage from = picture.convertToFormat(QImage::Format_RGB32);
  QImage scaled(NewLength(from.width(), factor, phase.x()),
                NewLength(from.height(), factor, phase.y()), QImage::Format_RGB32);
  if (scaled.isNull()) return {};
  const Shares across = sharesOf(from.width(), scaled.width(), factor, phase.x());
  const Shares down = sharesOf(from.height(), scaled.height(), factor, phase.y());
  std::vector<qint64> columns(size_t(scaled.width()));
  for (size_t x = 0; x < columns.size(); ++x) columns[x] = Total(across[x]);
  std::vector<Channels> sums(size_t(scaled.width()));
  for (int y = 0; y < scaled.height(); ++y) {
    std::fill(sums.begin(), sums.end(), Channels{});
    for (const Share& row : down[size_t(y)]) {
      const auto* line = reinterpret_cast<const QRgb*>(from.constScanLine(row.from));
      for (int x = 0; x < scaled.width(); ++x) {
        Channels& sum = sums[size_t(x)];
        for (const Share& column : across[size_t(x)]) {
          const QRgb pixel = line[column.from];
          const qint64 weight = column.weight * row.weight;
          sum[0] += qRed(pixel) * weight;
          sum[1] += qGreen(pixel) * weight;
          sum[2] += qBlue(pixel) * weight;
        }
      }
    }
    const qint64 rows = Total(down[size_t(y)]);
    auto* line = reinterpret_cast<QRgb*>(scaled.scanLine(y));
    for (int x = 0; x < scaled.width(); ++x) {
      const qint64 whole = rows * columns[size_t(x)];
      const auto channel = [whole](qint64 value) { return int((value + whole / 2) / whole); };
      const Channels& sum = sums[size_t(x)];
      line[x] = qRgb(channel(sum[0]), channel(sum[1]), channel(sum[2]));
    }
  }
  return scaled;
}

}  // namespace ModAPI
