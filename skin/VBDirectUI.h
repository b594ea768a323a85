// The skin engine: one object per skinned top-level window. It takes the
// system caption and frame away from the window and gives it the look of a
// skin directory: "Skin/<name>/" beside the executable with "main.bmp" (the
// frame, cut into nine slices), "SysButton.bmp" (caption-button glyphs),
// optionally "bkg.jpg" (a translucent background) and "Skin.ini" (section
// "Main"). No step reports failure: whatever cannot be loaded or made is
// left out.
//
// Once attached, the object handles the window's messages through its hook:
// it paints frame, icon, caption and caption buttons, fades the buttons
// between their looks, moves the window by its caption, resizes it by its
// edges, and reports clicks on the caption buttons through
// ControlButtonClick before carrying them out.
#pragma once

#include "AccessibleWindow.h"
#include "FrameLayout.h"
#include "Handles.h"
#include "IniFile.h"
#include "Subclass.h"
#include "mDC.h"

#include <QString>

#include <array>
#include <functional>
#include <memory>
#include <optional>

// One caption button: its rectangle in client pixels, the opacity (0..255,
// 255 settled) of the glyph being faded in, the sprite row shown and whether
// it is drawn and reacts to the mouse.
struct CaptionButton {
  SkinRect Rect;
  qint32 Fade = 0;
  qint32 State = 0;
  bool Visible = false;
};

class VBDirectUI final : public ModAPI::SubclassHandler, public ModAPI::PaintedButtons {
 public:
  enum ButtonState : qint32 { ButtonNormal = 0, ButtonHover = 1, ButtonPressed = 2 };
  enum Area : qint32 { AreaNone = -1, AreaFrame = 1, AreaBody = 2, AreaStrip = 3 };

  // Loads the system pointer shapes; no window, no pictures yet.
  VBDirectUI();
  // Releases every surface the object made and its pointer shapes, stops the
  // fade and removes the hook. The window keeps its changed style and its
  // outline. May run while the object handles a message (the owner drops it
  // when the close button closes the window): that handling then ends there.
  ~VBDirectUI();
  VBDirectUI(const VBDirectUI&) = delete;
  VBDirectUI& operator=(const VBDirectUI&) = delete;

  // Loads the skin `SkinNames` (pictures, then the "Skin.ini" values) and
  // attaches the object to `hwnd`: the caption goes, the window gets its
  // rounded outline, the caption buttons and hit areas are laid out and the
  // drawing surfaces made. Attaches only once; a later call reloads pictures
  // and values and leaves the attachment as it is. Always false.
  bool Skin(const QString& SkinNames, ModAPI::HWND hwnd);

  // The visibility of the help, maximise/restore and minimise buttons, and a
  // stored ControlBox flag. Setting one neither repaints nor lays out: it
  // takes effect at the next paint and hit test. All true at first.
  bool HelpButton() const { return Buttons[3].Visible; }
  void setHelpButton(bool NewValue) { Buttons[3].Visible = NewValue; }
  bool MaxButton() const { return Buttons[1].Visible; }
  void setMaxButton(bool NewValue) { Buttons[1].Visible = NewValue; }
  bool MinButton() const { return Buttons[2].Visible; }
  void setMinButton(bool NewValue) { Buttons[2].Visible = NewValue; }
  bool ControlBox() const { return ControlBoxFlag; }
  void setControlBox(bool NewValue) { ControlBoxFlag = NewValue; }

  // Raised when a caption button is clicked (left button down and up on it),
  // before its own action: ButtonIndex 0 close, 1 maximise/restore,
  // 2 minimise, 3 help (which has no action of its own); MenuX, MenuY the
  // client point below the button's lower-left corner. Setting Cancel keeps
  // the action from happening; changes to the other three have no effect.
  std::function<void(qint32& ButtonIndex, qint32& MenuX, qint32& MenuY, bool& Cancel)>
      ControlButtonClick;

  // Clicks caption button ButtonIndex as the mouse does, for the keyboard and
  // assistive technology: ControlButtonClick, then the button's action
  // unless cancelled. A hidden button, or one of a window never attached,
  // does nothing.
  void ClickButton(qint32 ButtonIndex);

  // The caption buttons as assistive technology reads them, left to right:
  // 帮助, 最小化, 最大化 (还原 while maximised), 关闭. Pressing one clicks it.
  int PaintedButtonCount() const override;
  QString PaintedButtonName(int place) const override;
  ModAPI::RECT PaintedButtonRect(int place) const override;
  bool PaintedButtonShown(int place) const override;
  void PressPaintedButton(int place) override;

  // The message handler the hook calls (see ModAPI::SubclassHandler). For
  // the window it is attached to it paints, limits the size, fades the
  // buttons and turns mouse messages into its mouse handling; every message
  // but WM_NCACTIVATE comes back handled with result 0.
  void zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, ModAPI::HWND& lhWnd,
                      quint32& uMsg, quint32& wParam, qint32& lParam) override;

 private:
  friend class VBDirectUIProbe;  // the tests' view of the state

  // AppPath with a trailing separator.
  static QString WithSeparator(const QString& path);
  // The picture's pixel size, 0 x 0 when it cannot be read.
  static void GetBitmapSize(ModAPI::HBITMAP Picture, qint32& Width, qint32& Height);
  // A surface owning the picture; a picture no surface took is freed.
  static ModAPI::HDC AdoptPicture(ModAPI::HBITMAP picture);

  IniFile& SkinIni();
  QString ReadSkinText(const char* key);
  void ReadSkinLong(const char* key, qint32& member);
  void ReadSkinValues();
  CmdKeys ReadCmdKeys();

  qint32 AttachSkin(ModAPI::HWND hwnd);
  void SubscribeMessages();
  void LayoutFrame();
  bool SurfacesFit() const;
  void MeasureWindow();
  void PlaceClient();
  void ApplyOutline();
  void ReleaseFrameSurfaces();
  void ReleaseSurfaces();
  void Teardown();

  // Messages (VBDirectUIMessages.cpp).
  struct MouseEvent {
    qint16 Button;
    qint16 Shift;
    float X;
    float Y;
  };
  static qint16 MoveButton(quint32 wParam);
  static qint16 ShiftState();
  static MouseEvent MouseEventOf(qint16 Button, qint32 lParam);
  void CopyFrameTo(ModAPI::HDC dc);
  void PaintWindow(bool bBefore);
  void LimitSize(qint32 lParam);
  void OnMouseLeave();

  // Painting (VBDirectUIPaint.cpp).
  // Everything the composed frame depends on besides the skin's pictures and
  // values, which only a new surface can follow: the same inputs compose the
  // same pixels.
  struct FrameInputs {
    ModAPI::HDC Surface;
    qint32 Width = 0;
    qint32 Height = 0;
    std::array<SkinRect, 4> ButtonRects{};
    std::array<bool, 4> ButtonsVisible{};
    bool Zoomed = false;
    QString Caption;
    qint64 Icon = 0;

    bool operator==(const FrameInputs&) const = default;
  };
  FrameInputs CurrentFrameInputs();
  void PaintFrame(bool Active);
  void ComposeFrame(const FrameInputs& inputs);
  void FadeStep();
  void ShowFrame();
  qint32 GlyphSourceX(qint32 button) const;
  static QString WindowCaption(ModAPI::HWND window);

  // Caption buttons and the frame's mouse handling (VBDirectUIMouse.cpp).
  // The handlers return false when the object was destroyed meanwhile.
  bool OnMouseDown(const MouseEvent& e);
  void OnMouseMove(const MouseEvent& e);
  bool OnMouseUp(const MouseEvent& e);
  void OnDblClick(const MouseEvent& e);
  void StripMouseDown(qint16 Button, float x, float y);
  void StripMouseMove(qint16 Button, float x, float y);
  bool StripMouseUp(qint16 Button, float x, float y);
  void StripMouseLeave();
  bool FrameMouseDown(qint16 Button, float X, float Y);
  void FrameMouseMove(float X, float Y);
  bool FrameMouseUp(qint16 Button, float X, float Y);
  bool GripsActive() const;
  void ToggleMaximise();
  void StartFade(qint32 index, qint32 fade, qint32 state);
  bool ShowSystemMenu(ModAPI::HWND window);
  bool RaiseControlButtonClick(qint32 index);
  enum class ClickOutcome { Done, Cancelled, Gone };
  ClickOutcome Click(qint32 index);
  static qint32 ButtonAtPlace(int place);

  // Expires when the object goes; handlers that may close the window check it.
  std::shared_ptr<int> LifeToken = std::make_shared<int>(0);
  ModAPI::SubclassTable SubclassTable{1};
  std::array<ModAPI::HCURSOR, 15> Cursors{};
  ModAPI::HWND HostWnd;
  qint32 WindowStyle = 0;
  bool Sizable = false;
  qint32 FrameInset = 0;
  qint32 ClientLeft = 0;
  qint32 ClientTop = 0;
  qint32 ClientWidth = 0;
  qint32 ClientHeight = 0;
  std::array<SkinRect, 4> Areas{};  // window (screen), body, caption bar, button strip
  std::array<SkinRect, 8> Grips{};
  std::array<CaptionButton, 5> Buttons{};  // close, maximise/restore, minimise, help, unused
  std::array<std::array<qint32, 2>, 4> GlyphOrigins{};
  qint32 HotButton = -1;
  qint32 PressedButton = -1;
  qint32 PressedArea = AreaNone;
  qint32 HoverArea = AreaNone;
  bool LeaveTracking = false;
  bool ZoomedAtMove = false;
  bool PointerReset = false;
  ModAPI::HDC WorkDC;
  ModAPI::HDC FrameDC;
  // What FrameDC was composed from; empty once a fade step has drawn over it.
  std::optional<FrameInputs> ComposedFrom;
  ModAPI::HDC MainDC;
  qint32 MainWidth = 0;
  qint32 MainHeight = 0;
  ModAPI::HDC ButtonDC;
  qint32 ButtonImageWidth = 0;
  qint32 ButtonImageHeight = 0;
  bool HasBack = false;
  ModAPI::HDC BackDC;
  qint32 BackWidth = 0;
  qint32 BackHeight = 0;
  ModAPI::HICON SmallIcon;  // not owned
  QString SkinName;
  QString SkinPath;
  QString AppPath;
  qint32 BackAlpha = 0;
  qint32 TopLeft = 0;
  qint32 TopRight = 0;
  qint32 TopCeter = 0;
  qint32 TopHeight = 0;
  qint32 CetLeft = 0;
  qint32 CetRight = 0;
  qint32 CetCeter = 0;
  qint32 CetHeight = 0;
  qint32 BotLeft = 0;
  qint32 BotRight = 0;
  qint32 BotCeter = 0;
  qint32 BotHeight = 0;
  qint32 CaptionColor = 0;
  qint32 SizeX1 = 0;
  qint32 SizeY1 = 0;
  std::unique_ptr<IniFile> Ini;  // made on first use
  bool ControlBoxFlag = true;
};
