#include "SkinDescription.h"

#include "Gdi.h"
#include "Shell.h"
#include "SkinValue.h"

#include <algorithm>
#include <utility>

using namespace ModAPI;

namespace {

constexpr char kSection[] = "Main";
constexpr qint32 kValueSize = 100;  // values are read as at most 99 characters
constexpr qint32 kWhite = 0xFFFFFF;
constexpr qint32 kDefaultBackAlpha = 30;

}  // namespace

void SkinPictures::release() {
  MainDC.reset();
  ButtonDC.reset();
  BackDC.reset();
}

void SkinDescription::load(const QString& SkinNames) {
  pictures_.release();
  AppPath = withSeparator(ModAPI::AppPath());
  SkinName = SkinNames;
  SkinPath = skinFolder(AppPath, SkinName);
  SkinPictures& p = pictures_;
  loadPicture("main.bmp", p.MainDC, p.MainWidth, p.MainHeight);
  loadPicture("SysButton.bmp", p.ButtonDC, p.ButtonImageWidth, p.ButtonImageHeight);
  p.HasBack = IsNormalFile(SkinPath + "bkg.jpg");
  if (p.HasBack) loadPicture("bkg.jpg", p.BackDC, p.BackWidth, p.BackHeight);
  Ini.SpecifyIni(SkinPath + "Skin.ini");
  readValues();
}

QString SkinDescription::withSeparator(const QString& path) {
  return path.endsWith(u'/') ? path : path + u'/';
}

QString SkinDescription::skinFolder(const QString& appPath, const QString& name) {
  return appPath + "Skin/" + name + "/";
}

void SkinDescription::GetBitmapSize(HBITMAP Picture, qint32& Width, qint32& Height) {
  BITMAP info;
  if (!GetObjectA(Picture, &info)) info = {};
  Width = info.bmWidth;
  Height = info.bmHeight;
}

void SkinDescription::loadPicture(const QString& file, mDC::OwnedSurface& surface, qint32& width,
                                  qint32& height) {
  const HBITMAP picture = LoadPicture(SkinPath + file);
  surface.reset(mDC::CreatePictureSurface(picture));
  if (surface) {
    GetBitmapSize(picture, width, height);
  } else if (picture) {
    DeleteObject(picture);
  }
}

QString SkinDescription::readText(const char* key) {
  return Ini.ReadString(kSection, key, kValueSize);
}

void SkinDescription::readLong(const char* key, qint32& member) {
  if (const auto value = SkinValue::toLong(readText(key))) member = *value;
}

void SkinDescription::readValues() {
  SkinValues& v = values_;
  readLong("BackAlpha", v.BackAlpha);
  if (v.BackAlpha == 0) v.BackAlpha = kDefaultBackAlpha;
  // The blend takes the opacity as one byte; larger values would spill into
  // the neighbouring fields of its argument.
  v.BackAlpha = std::clamp(v.BackAlpha, 0, 255);
  NineSlices& n = v.Slices;
  const std::pair<const char*, qint32*> slices[] = {
      {"TopLeft", &n.TopLeft},     {"TopRight", &n.TopRight},   {"TopCeter", &n.TopCeter},
      {"TopHeight", &n.TopHeight}, {"CetLeft", &n.CetLeft},     {"CetRight", &n.CetRight},
      {"CetCeter", &n.CetCeter},   {"CetHeight", &n.CetHeight}, {"BotLeft", &n.BotLeft},
      {"BotRight", &n.BotRight},   {"BotCeter", &n.BotCeter},   {"BotHeight", &n.BotHeight},
  };
  for (const auto& [key, member] : slices) readLong(key, *member);
  if (readText("CaptionColor").isEmpty()) {
    v.CaptionColor = kWhite;
  } else {
    readLong("CaptionColor", v.CaptionColor);
  }
  readLong("SizeX1", v.SizeX1);
  readLong("SizeY1", v.SizeY1);
}

CmdKeyTexts SkinDescription::readCmdKeys() {
  CmdKeyTexts read;
  read.CmdHeight = SkinValue::toLong(readText("Cmd.Height"));
  read.CloseWidth = SkinValue::toLong(readText("CmdClose.Width"));
  read.CmdTop = SkinValue::toLong(readText("Cmd.Top"));
  read.CmdLeft = SkinValue::toReal(readText("Cmd.Left"));
  read.CmdWidth = SkinValue::toLong(readText("Cmd.Width"));
  return read;
}
