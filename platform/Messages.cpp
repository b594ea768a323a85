#include "Messages.h"

#include <unordered_map>

namespace ModAPI {
namespace {

std::unordered_map<qint32, MINMAXINFO*>& Lent() {
  static std::unordered_map<qint32, MINMAXINFO*> lent;
  return lent;
}

}  // namespace

MinMaxInfoParam::MinMaxInfoParam(MINMAXINFO& info) {
  static qint32 next = 0x4D4D0000;
  token_ = next++;
  Lent().emplace(token_, &info);
}

MinMaxInfoParam::~MinMaxInfoParam() {
  Lent().erase(token_);
}

MINMAXINFO* MinMaxInfoOf(qint32 lParam) {
  const auto it = Lent().find(lParam);
  return it == Lent().end() ? nullptr : it->second;
}

}  // namespace ModAPI
