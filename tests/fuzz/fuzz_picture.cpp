// Picture loading (BMP, JPEG, PNG, recognised by content) and drawing with
// the loaded picture: the nine-slice frame and copies whose source rectangles
// leave the picture.
#include "FuzzSupport.h"
#include "Gdi.h"
#include "mDC.h"

#include <QGuiApplication>

using namespace ModAPI;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QGuiApplication app(*argc, *argv);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const GdiObjectCounts before = LiveGdiObjects();
  const HBITMAP picture = LoadPicture(FuzzSupport::WriteScratchFile("picture", data, size));
  if (!picture) return 0;
  BITMAP info;
  FUZZ_CHECK(GetObjectA(picture, &info) != 0 && info.bmWidth > 0 && info.bmHeight > 0);
  const HDC source = mDC::CreatePictureSurface(picture);
  FUZZ_CHECK(bool(source));
  const HDC target = mDC::CreateSurface(64, 48);
  const NineSlices slices{8, 8, 44, 31, 3, 3, 54, 20, 8, 8, 44, 8};
  FUZZ_CHECK(mDC::DrawNineSlice(source, {info.bmWidth, info.bmHeight}, target, {64, 48}, slices) !=
             0);
  StretchBlt(target, 0, 0, 64, 48, source, -info.bmWidth, -info.bmHeight, 20000, 20000, SRCCOPY);
  BitBlt(target, 0, 0, 20000, 20000, source, info.bmWidth / 2, info.bmHeight / 2, SRCCOPY);
  mDC::ReleaseSurface(target);
  mDC::ReleaseSurface(source);
  FUZZ_CHECK(LiveGdiObjects().bitmaps == before.bitmaps);
  return 0;
}
