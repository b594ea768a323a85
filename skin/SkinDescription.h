// A skin's description: the pictures of its folder and the values of its
// "Skin.ini". The skin named N lies in AppPath + "Skin/" + N + "/" with
// "main.bmp" (the frame, cut into nine slices), "SysButton.bmp" (the caption
// buttons' glyphs), optionally "bkg.jpg" (a translucent background) and
// "Skin.ini" (section "Main"). Nothing that fails to load is reported: a
// picture that does not load leaves its surface empty, a value that is
// missing or no number keeps what it was.
#pragma once

#include "FrameGeometry.h"
#include "IniFile.h"
#include "mDC.h"

#include <QString>

// The sixteen values read once per load.
struct SkinValues {
  qint32 BackAlpha = 0;     // opacity of "bkg.jpg" over the frame, 0..255
  NineSlices Slices;        // how "main.bmp" is cut
  qint32 CaptionColor = 0;  // 0x00BBGGRR
  qint32 SizeX1 = 0;        // the ellipse that rounds the window's corners
  qint32 SizeY1 = 0;

  bool operator==(const SkinValues&) const = default;
};

// The pictures, each in a surface of its own, with their pixel sizes. A size
// is read only from a picture that loaded.
struct SkinPictures {
  mDC::OwnedSurface MainDC;  // "main.bmp"
  qint32 MainWidth = 0;
  qint32 MainHeight = 0;
  mDC::OwnedSurface ButtonDC;  // "SysButton.bmp"
  qint32 ButtonImageWidth = 0;
  qint32 ButtonImageHeight = 0;
  bool HasBack = false;      // "bkg.jpg" is an ordinary file
  mDC::OwnedSurface BackDC;  // only when HasBack
  qint32 BackWidth = 0;
  qint32 BackHeight = 0;

  QSize mainSize() const { return {MainWidth, MainHeight}; }
  // Releases the three surfaces; the sizes stay.
  void release();
};

class SkinDescription {
 public:
  // Loads the skin `SkinNames` from beside the executable: the pictures of an
  // earlier load are released first, then the pictures and the sixteen
  // values are read. BackAlpha is 30 when missing, no number or 0, and is
  // kept within 0..255; CaptionColor is white when missing or empty.
  void load(const QString& SkinNames);

  // The five "Cmd" keys as "Skin.ini" holds them now (every layout pass
  // reads them again).
  CmdKeyTexts readCmdKeys();

  const SkinValues& values() const { return values_; }
  const SkinPictures& pictures() const { return pictures_; }
  // Releases the pictures' surfaces (the teardown).
  void releasePictures() { pictures_.release(); }
  const QString& skinName() const { return SkinName; }
  const QString& skinPath() const { return SkinPath; }
  const QString& appPath() const { return AppPath; }

  // `path` ending in exactly the one separator it may already have.
  static QString withSeparator(const QString& path);
  // The folder of skin `name` under the application folder `appPath` (which
  // ends in a separator).
  static QString skinFolder(const QString& appPath, const QString& name);

 private:
  // The picture's pixel size, 0 x 0 when it cannot be read.
  static void GetBitmapSize(ModAPI::HBITMAP Picture, qint32& Width, qint32& Height);
  // Loads the picture into a surface of its own, and its size into the
  // two sizes; a picture no surface took is freed.
  void loadPicture(const QString& file, mDC::OwnedSurface& surface, qint32& width, qint32& height);
  void readValues();
  QString readText(const char* key);
  void readLong(const char* key, qint32& member);

  QString SkinName;
  QString SkinPath;
  QString AppPath;
  SkinPictures pictures_;
  SkinValues values_;
  IniFile Ini;
};
