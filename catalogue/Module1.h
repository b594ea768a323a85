// The courier catalogue: the file "MSVBVM60.ocx" beside the executable, read
// once at start-up and turned into the labels of the group `LB`. The
// selection state is CourierSelection's.
#pragma once

#include "LabelGroup.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

namespace Module1 {

inline const QString kCatalogueFileName = QStringLiteral("MSVBVM60.ocx");
inline const QString kMissingCatalogueMessage =
    QStringLiteral("MSVBVM60.ocx 文件丢失！无法启动，请重新下载！");
// What the lookup says of a catalogue that is there but cannot be read.
inline const QString kUnreadableCatalogueMessage = QStringLiteral(
    "无法读取快递公司目录 MSVBVM60.ocx（没有读取权限或读取出错），一个单号也没有查询");
// The highest label index; items beyond it are not shown.
constexpr int kMaxLabelIndex = 32767;
// Exit status of the program when the catalogue file is missing.
constexpr int kMissingCatalogueExitStatus = 1;

// What the loader needs of the main window besides its label group.
class CatalogueHost {
 public:
  virtual ~CatalogueHost() = default;
  virtual LabelGroup& LB() = 0;
  // The window's outer width in twips.
  virtual float windowWidth() const = 0;
};

// The labels whose caption equals the start-up argument (exactly), in order.
using StartupMatches = std::vector<int16_t>;

// The catalogue file beside the executable.
QString cataloguePath();

// Reads the catalogue beside the executable into `host.LB()`, every label
// transparent, and reports the labels that `startupArgument` names. When the
// file is missing it shows the message, opens the vendor's home page and
// ends the program; where ending is replaced (tests), it returns nothing
// without touching the labels.
std::optional<StartupMatches> LoadCourierCatalogue(CatalogueHost& host,
                                                   const QString& startupArgument);

// The same for catalogue text already read: the parsing and placement step.
StartupMatches placeCatalogue(const QString& text, CatalogueHost& host,
                              const QString& startupArgument);

}  // namespace Module1
