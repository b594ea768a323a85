// The skin engine: one object per skinned top-level window. It takes the
// system caption and frame away from the window and gives it the look of a
// skin directory (see SkinDescription). No step reports failure: whatever
// cannot be loaded or made is left out.
//
// Once attached, the object handles the window's messages through its hook:
// it paints frame, icon, caption and caption buttons, fades the buttons
// between their looks, moves the window by its caption, resizes it by its
// edges, and reports clicks on the caption buttons through
// ControlButtonClick before carrying them out.
//
// Its parts, each readable for what it holds: the skin's description, the
// frame's geometry, the host window, the fades, the painter, the frame's
// mouse handling and the message handler that drives them.
#pragma once

#include "AccessibleWindow.h"
#include "FadeAnimation.h"
#include "FrameGeometry.h"
#include "FrameMouse.h"
#include "FramePainter.h"
#include "Handles.h"
#include "HostWindow.h"
#include "SkinDescription.h"
#include "SkinMessageHandler.h"

#include <QObject>
#include <QString>

class VBDirectUI final : public QObject, public ModAPI::PaintedButtons {
  Q_OBJECT

 public:
  // Loads the system pointer shapes; no window, no pictures yet.
  VBDirectUI();
  // Releases every surface the object made and its pointer shapes, stops the
  // fade and removes the hook. The window keeps its changed style and its
  // outline. May run while the object handles a message (the owner drops it
  // when the close button closes the window): that handling then ends there.
  ~VBDirectUI() override;

  // Loads the skin `SkinNames` (pictures, then the "Skin.ini" values) and
  // attaches the object to `hwnd`: the caption goes, the window gets its
  // rounded outline, the caption buttons and hit areas are laid out and the
  // drawing surfaces made. Attaches only once; a later call reloads pictures
  // and values and leaves the attachment as it is. Always false.
  bool Skin(const QString& SkinNames, ModAPI::HWND hwnd);

  // The visibility of the help, maximise/restore and minimise buttons, and a
  // stored ControlBox flag. Setting one neither repaints nor lays out: it
  // takes effect at the next paint and hit test. All true at first.
  bool HelpButton() const;
  void setHelpButton(bool NewValue);
  bool MaxButton() const;
  void setMaxButton(bool NewValue);
  bool MinButton() const;
  void setMinButton(bool NewValue);
  bool ControlBox() const { return ControlBoxFlag; }
  void setControlBox(bool NewValue) { ControlBoxFlag = NewValue; }

  // Clicks caption button ButtonIndex (0 close, 1 maximise/restore,
  // 2 minimise, 3 help) as the mouse does, for the keyboard and assistive
  // technology: ControlButtonClick, then the button's action unless
  // cancelled. A hidden button, any other index, or a button of a window
  // never attached does nothing.
  void clickButton(qint32 ButtonIndex);

  // The caption buttons as assistive technology reads them, left to right:
  // 帮助, 最小化, 最大化 (还原 while maximised), 关闭. Pressing one clicks it.
  int paintedButtonCount() const override;
  QString paintedButtonName(int place) const override;
  ModAPI::RECT paintedButtonRect(int place) const override;
  bool paintedButtonShown(int place) const override;
  void pressPaintedButton(int place) override;

  // The message handler, as the hook calls it (see SkinMessageHandler).
  void zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, ModAPI::HWND& lhWnd,
                      quint32& uMsg, quint32& wParam, qint32& lParam);

  const SkinDescription& description() const { return description_; }
  const FrameGeometry& geometry() const { return geometry_; }
  const HostWindow& host() const { return host_; }
  const FadeAnimation& fade() const { return fade_; }
  const FramePainter& painter() const { return painter_; }
  const FrameMouse& mouse() const { return mouse_; }
  const SkinMessageHandler& messages() const { return messages_; }

 signals:
  // Raised when a caption button is clicked (left button down and up on it,
  // or clickButton), before its own action; see ControlButtonClickArgs.
  // The arguments go by reference, which Qt does not queue: listeners run
  // directly, in the order they were connected, and the skin reads Cancel
  // once the last has returned.
  void ControlButtonClick(ControlButtonClickArgs& args);

 private:
  // Binds the object to the window once: 1 when attached, 0 when it already
  // was (nothing done).
  qint32 AttachSkin(ModAPI::HWND hwnd);
  static CaptionButtonId buttonAtPlace(int place);

  SkinDescription description_;
  FrameGeometry geometry_;
  HostWindow host_;
  FadeAnimation fade_;
  FramePainter painter_{description_, geometry_, host_};
  FrameMouse mouse_{geometry_, fade_, host_, painter_};
  SkinMessageHandler messages_{description_, geometry_, host_, fade_, painter_, mouse_};
  bool ControlBoxFlag = true;
};
