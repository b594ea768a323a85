// Skin.ini values through IniFile: every key the skin engine reads, converted
// as the engine converts it, and the caption-button layout made from them.
#include "FrameGeometry.h"
#include "FuzzSupport.h"
#include "IniFile.h"
#include "SkinValue.h"

#include "CodePage.h"

using namespace ModAPI;

namespace {

constexpr const char* kKeys[] = {
    "BackAlpha", "TopLeft",      "TopRight",  "TopCeter", "TopHeight",  "CetLeft",
    "CetRight",  "CetCeter",     "CetHeight", "BotLeft",  "BotRight",   "BotCeter",
    "BotHeight", "CaptionColor", "SizeX1",    "SizeY1",   "Cmd.Height", "CmdClose.Width",
    "Cmd.Top",   "Cmd.Left",     "Cmd.Width",
};

std::optional<qint32> Long(IniFile& ini, const char* key) {
  const QString text = ini.ReadString("Main", key, 100);
  FUZZ_CHECK(ToCodePage(CP_ACP, text).size() <= 99);
  const auto value = SkinValue::toLong(text);
  const auto real = SkinValue::toReal(text);
  if (value) FUZZ_CHECK(real.has_value());
  return value;
}

void CheckLayout(const CmdKeyTexts& read, qint32 sheetWidth, qint32 sheetHeight) {
  const CmdKeys keys =
      FrameGeometry::boundCmdKeys(FrameGeometry::completeCmdKeys(read, sheetWidth, sheetHeight),
                                  sheetWidth, sheetHeight, 1920, 1080);
  const bool ownSheet = sheetWidth <= 0 || sheetHeight <= 0;
  const qint32 widest = ownSheet ? FrameGeometry::kSheetWidth : sheetWidth;
  const qint32 highest = ownSheet ? FrameGeometry::kSheetHeight : sheetHeight;
  const auto rects = FrameGeometry::captionButtonRects(keys, 600);
  for (const SkinRect& r : rects) {
    FUZZ_CHECK(r.Width >= 0 && r.Width <= widest);
    FUZZ_CHECK(r.Height >= 0 && r.Height <= highest);
  }
  const qint32 strip = 600 - 2 - rects[3].Left;
  const MINMAXINFO limits = FrameGeometry::sizeLimits({}, {0, 0, 1920, 1080}, 0, strip);
  FUZZ_CHECK(limits.ptMinTrackSize.x <= limits.ptMaxTrackSize.x);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  IniFile ini;
  ini.SpecifyIni(FuzzSupport::WriteScratchFile("Skin.ini", data, size));
  for (const char* key : kKeys) Long(ini, key);
  ini.ReadInt("Main", "TopLeft");
  ini.ReadString("Main", QString(), 100);

  CmdKeyTexts read;
  read.CmdHeight = Long(ini, "Cmd.Height");
  read.CloseWidth = Long(ini, "CmdClose.Width");
  read.CmdTop = Long(ini, "Cmd.Top");
  read.CmdLeft = SkinValue::toReal(ini.ReadString("Main", "Cmd.Left", 100));
  read.CmdWidth = Long(ini, "Cmd.Width");
  CheckLayout(read, 151, 60);
  CheckLayout(read, 0, 0);
  return 0;
}
