#include "VBDirectUI.h"

#include "Cursor.h"
#include "Gdi.h"
#include "Shell.h"
#include "SkinValue.h"
#include "Timer.h"
#include "Window.h"

#include <algorithm>
#include <utility>

using namespace ModAPI;

namespace {

// The system pointer shapes, in the order the frame's mouse handling indexes them.
constexpr int kCursorIds[15] = {
    IDC_ARROW,    IDC_CROSS,  IDC_APPSTARTING, IDC_WAIT,    IDC_HAND,
    IDC_HELP,     IDC_IBEAM,  IDC_NO,          IDC_SIZE,    IDC_SIZENWSE,
    IDC_SIZENESW, IDC_SIZEWE, IDC_SIZENS,      IDC_SIZEALL, IDC_UPARROW,
};

constexpr char kSection[] = "Main";
constexpr qint32 kValueSize = 100;  // Skin.ini values are read as at most 99 characters
constexpr qint32 kWhite = 0xFFFFFF;
constexpr qint32 kDefaultBackAlpha = 30;

void Release(HDC& dc) {
  if (dc) mDC::ReleaseSurface(dc);
  dc = {};
}

}  // namespace

VBDirectUI::VBDirectUI() {
  for (CaptionButton& button : Buttons) {
    button.Visible = true;
    button.Fade = 255;
  }
  for (size_t i = 0; i < Cursors.size(); ++i) Cursors[i] = LoadCursorA(nullptr, kCursorIds[i]);
}

VBDirectUI::~VBDirectUI() {
  Teardown();
}

// Also run on WM_DESTROY, so everything it releases is set to 0.
void VBDirectUI::Teardown() {
  ReleaseSurfaces();
  for (HCURSOR& cursor : Cursors) {
    if (cursor) DestroyCursor(cursor);
    cursor = {};
  }
  // A fade still running would go on ticking for the window's whole life.
  KillTimer(HostWnd, 0);
  if (HostWnd) SetPaintedButtons(HostWnd, nullptr);
  DetachAllSubclasses(SubclassTable);
}

bool VBDirectUI::Skin(const QString& SkinNames, HWND hwnd) {
  ReleaseSurfaces();
  AppPath = WithSeparator(ModAPI::AppPath());
  SkinName = SkinNames;
  SkinPath = AppPath + "Skin/" + SkinName + "/";
  const HBITMAP main = LoadPicture(SkinPath + "main.bmp");
  MainDC = AdoptPicture(main);
  const HBITMAP buttons = LoadPicture(SkinPath + "SysButton.bmp");
  ButtonDC = AdoptPicture(buttons);
  HasBack = IsNormalFile(SkinPath + "bkg.jpg");
  if (HasBack) {
    const HBITMAP back = LoadPicture(SkinPath + "bkg.jpg");
    BackDC = AdoptPicture(back);
    if (BackDC) GetBitmapSize(back, BackWidth, BackHeight);
  }
  if (ButtonDC) GetBitmapSize(buttons, ButtonImageWidth, ButtonImageHeight);
  if (MainDC) GetBitmapSize(main, MainWidth, MainHeight);
  SkinIni().SpecifyIni(SkinPath + "Skin.ini");
  ReadSkinValues();
  AttachSkin(hwnd);
  return false;
}

QString VBDirectUI::WithSeparator(const QString& path) {
  return path.endsWith(u'/') ? path : path + u'/';
}

void VBDirectUI::GetBitmapSize(HBITMAP Picture, qint32& Width, qint32& Height) {
  BITMAP info;
  if (!GetObjectA(Picture, &info)) info = {};
  Width = info.bmWidth;
  Height = info.bmHeight;
}

HDC VBDirectUI::AdoptPicture(HBITMAP picture) {
  const HDC dc = mDC::CreatePictureSurface(picture);
  if (!dc && picture) DeleteObject(picture);
  return dc;
}

IniFile& VBDirectUI::SkinIni() {
  if (!Ini) Ini = std::make_unique<IniFile>();
  return *Ini;
}

QString VBDirectUI::ReadSkinText(const char* key) {
  return SkinIni().ReadString(kSection, key, kValueSize);
}

void VBDirectUI::ReadSkinLong(const char* key, qint32& member) {
  if (const auto value = SkinValue::toLong(ReadSkinText(key))) member = *value;
}

void VBDirectUI::ReadSkinValues() {
  ReadSkinLong("BackAlpha", BackAlpha);
  if (BackAlpha == 0) BackAlpha = kDefaultBackAlpha;
  // The blend takes the opacity as one byte; larger values would spill into
  // the neighbouring fields of its argument.
  BackAlpha = std::clamp(BackAlpha, 0, 255);
  const std::pair<const char*, qint32*> slices[] = {
      {"TopLeft", &TopLeft},     {"TopRight", &TopRight},   {"TopCeter", &TopCeter},
      {"TopHeight", &TopHeight}, {"CetLeft", &CetLeft},     {"CetRight", &CetRight},
      {"CetCeter", &CetCeter},   {"CetHeight", &CetHeight}, {"BotLeft", &BotLeft},
      {"BotRight", &BotRight},   {"BotCeter", &BotCeter},   {"BotHeight", &BotHeight},
  };
  for (const auto& [key, member] : slices) ReadSkinLong(key, *member);
  if (ReadSkinText("CaptionColor").isEmpty()) {
    CaptionColor = kWhite;
  } else {
    ReadSkinLong("CaptionColor", CaptionColor);
  }
  ReadSkinLong("SizeX1", SizeX1);
  ReadSkinLong("SizeY1", SizeY1);
}

CmdKeys VBDirectUI::ReadCmdKeys() {
  CmdKeyTexts read;
  read.Height = SkinValue::toLong(ReadSkinText("Cmd.Height"));
  read.CloseWidth = SkinValue::toLong(ReadSkinText("CmdClose.Width"));
  read.Top = SkinValue::toLong(ReadSkinText("Cmd.Top"));
  read.Left = SkinValue::toReal(ReadSkinText("Cmd.Left"));
  read.Width = SkinValue::toLong(ReadSkinText("Cmd.Width"));
  const CmdKeys keys = FrameLayout::CompleteCmdKeys(read, ButtonImageWidth, ButtonImageHeight);
  return FrameLayout::BoundCmdKeys(keys, ButtonImageWidth, ButtonImageHeight,
                                   GetSystemMetrics(SM_CXVIRTUALSCREEN),
                                   GetSystemMetrics(SM_CYVIRTUALSCREEN));
}

qint32 VBDirectUI::AttachSkin(HWND hwnd) {
  if (HostWnd) return 0;
  HostWnd = hwnd;
  RECT outer;
  GetWindowRect(HostWnd, &outer);
  const quint32 style = quint32(GetWindowLongA(HostWnd, GWL_STYLE));
  Sizable = (style & WS_THICKFRAME) != 0;
  WindowStyle = qint32(style & ~WS_CAPTION);
  SetWindowLongA(HostWnd, GWL_STYLE, WindowStyle);
  SetWindowPos(HostWnd, {}, outer.left, outer.top, outer.right - outer.left,
               outer.bottom - outer.top, SWP_FRAMECHANGED);
  MeasureWindow();
  // What the window system still draws around the client area, measured
  // once: half the difference of outer and client width.
  if (Areas[0].Width != ClientWidth) FrameInset = (Areas[0].Width - ClientWidth) / 2;
  PlaceClient();
  ApplyOutline();
  AttachSubclass(SubclassTable, HostWnd, *this);
  SubscribeMessages();
  SetPaintedButtons(HostWnd, this);
  LayoutFrame();
  return 1;
}

void VBDirectUI::SubscribeMessages() {
  const std::pair<quint32, qint32> subscriptions[] = {
      {WM_SIZE, WhenAfter},           {WM_PAINT, WhenBefore},       {WM_KEYDOWN, WhenBefore},
      {WM_KEYUP, WhenBefore},         {WM_MOUSEMOVE, WhenBefore},   {WM_MOUSELEAVE, WhenAfter},
      {WM_LBUTTONDBLCLK, WhenBefore}, {WM_LBUTTONDOWN, WhenBefore}, {WM_LBUTTONUP, WhenBefore},
      {WM_MBUTTONDBLCLK, WhenBefore}, {WM_MBUTTONDOWN, WhenBefore}, {WM_MBUTTONUP, WhenBefore},
      {WM_RBUTTONDBLCLK, WhenBefore}, {WM_RBUTTONDOWN, WhenBefore}, {WM_RBUTTONUP, WhenBefore},
      {WM_GETMINMAXINFO, WhenBefore}, {WM_NCPAINT, WhenBefore},     {WM_NCACTIVATE, WhenAfter},
      {WM_TIMER, WhenAfter},
  };
  for (const auto& [message, when] : subscriptions)
    AddMessage(SubclassTable, HostWnd, qint32(message), when);
}

void VBDirectUI::LayoutFrame() {
  MeasureWindow();
  // Surfaces that still fit keep their frame, which PaintFrame then need not
  // compose again (the resize event after the window is first shown).
  if (!SurfacesFit()) ReleaseFrameSurfaces();
  PlaceClient();
  const CmdKeys keys = ReadCmdKeys();
  const auto rects = FrameLayout::CaptionButtonRects(keys, ClientWidth);
  for (size_t i = 0; i < rects.size(); ++i) Buttons[i].Rect = rects[i];
  mDC::SetSkinRect(Areas[3], Buttons[3].Rect.Left, 2, ClientWidth - 2, Buttons[0].Rect.Height);
  mDC::SetSkinRect(Areas[2], 4, 2, ClientWidth - 4, 29);
  Grips = FrameLayout::GripZones(ClientWidth, ClientHeight);
  ApplyOutline();
  SetWindowPos(HostWnd, {}, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_FRAMECHANGED);
  if (!FrameDC) {
    // At the window's pixel density, so that text, icon and pictures use
    // every pixel of a high-density screen.
    const HDC window = GetDC(HostWnd);
    WorkDC = mDC::CreateSurface(ClientWidth, ClientHeight, window);
    FrameDC = mDC::CreateSurface(ClientWidth, ClientHeight, window);
    ReleaseDC(HostWnd, window);
  }
  PaintFrame(GetForegroundWindow() == HostWnd);
}

// Both surfaces exist with the client area's size and the window's density.
bool VBDirectUI::SurfacesFit() const {
  BITMAP frame;
  if (!WorkDC || !GetObjectA(GetCurrentBitmap(FrameDC), &frame)) return false;
  const HDC window = GetDC(HostWnd);
  const bool sameDensity = GetDeviceDensity(window) == GetDeviceDensity(FrameDC);
  ReleaseDC(HostWnd, window);
  return sameDensity && frame.bmWidth == ClientWidth && frame.bmHeight == ClientHeight;
}

void VBDirectUI::MeasureWindow() {
  mDC::WindowSkinRect(HostWnd, Areas[0]);
  RECT client;
  GetClientRect(HostWnd, &client);
  ClientWidth = client.right - client.left;
  ClientHeight = client.bottom - client.top;
}

void VBDirectUI::PlaceClient() {
  ClientLeft = FrameInset + Areas[0].Left;
  ClientTop = FrameInset + Areas[0].Top;
  mDC::SetSkinRect(Areas[1], 2, 31, ClientWidth - 2, ClientHeight - 3);
}

// A maximised window is a plain rectangle; otherwise the client area gets
// corners rounded by an ellipse of SizeX1 x SizeY1.
void VBDirectUI::ApplyOutline() {
  if (IsZoomed(HostWnd)) {
    SetWindowRgn(HostWnd, {}, true);
    return;
  }
  const HRGN outline = CreateRoundRectRgn(FrameInset, FrameInset, ClientWidth + FrameInset + 1,
                                          ClientHeight + FrameInset + 1, SizeX1, SizeY1);
  SetWindowRgn(HostWnd, outline, true);
}

void VBDirectUI::ReleaseFrameSurfaces() {
  Release(WorkDC);
  Release(FrameDC);
  ComposedFrom.reset();
}

void VBDirectUI::ReleaseSurfaces() {
  ReleaseFrameSurfaces();
  Release(MainDC);
  Release(ButtonDC);
  Release(BackDC);
}
