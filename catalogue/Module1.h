// The courier catalogue: the file "MSVBVM60.ocx" beside the executable, read
// once at start-up and turned into the labels of the group `LB`, and the
// selection state shared by the main window's handlers.
#pragma once

#include "LabelGroup.h"

#include <QString>

#include <cstdint>

namespace Module1 {

// The command-line text, set by the window's load step before the loader runs.
inline QString StartupArgument;
// Index of the selected label of `LB`; -1 means none.
inline int16_t SelectedCourierIndex = -1;

inline const QString kCatalogueFileName = QStringLiteral("MSVBVM60.ocx");
inline const QString kMissingCatalogueMessage =
    QStringLiteral("MSVBVM60.ocx 文件丢失！无法启动，请重新下载！");
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
  virtual float WindowWidth() const = 0;
  // Caption and tag of the title label `LBTitle`: the selected courier.
  virtual void SetTitle(const QString& caption, const QString& tag) = 0;
};

// The catalogue file beside the executable.
QString CataloguePath();

// Reads the catalogue beside the executable into `host.LB()` and selects the
// label whose caption equals StartupArgument. When the file is missing it
// shows the message, opens the vendor's home page and ends the program; where
// ending is replaced (tests), it returns false without touching the labels.
bool LoadCourierCatalogue(CatalogueHost& host);

// The same for catalogue text already read: the parsing and placement step.
void PlaceCatalogue(const QString& text, CatalogueHost& host);

}  // namespace Module1
