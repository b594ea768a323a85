// The mouse on the skinned window. Each mouse event goes to the area under
// the pointer, or to the area a button went down in while it is held: on
// the caption-button strip the buttons light up, press and click; on the
// frame the edges resize the window and the caption bar moves (once the
// pointer has been dragged a few pixels), maximises and restores it and
// opens its system menu; the body is the window's own.
//
// A click on a caption button is reported through ControlButtonClick before
// the button's own action. Closing the window (the close button, the system
// menu) may make its owner drop the skin object, and this part with it,
// while a handler runs: the handlers that can get there touch nothing of
// this part afterwards, and neither may their callers.
#pragma once

#include "FadeAnimation.h"
#include "FrameGeometry.h"
#include "FramePainter.h"
#include "HostWindow.h"

#include <QObject>
#include <QPoint>

#include <array>
#include <optional>

// What a handler of ControlButtonClick is told, and may answer. The button
// (0 close, 1 maximise/restore, 2 minimise, 3 help) and the client point
// below its lower-left corner, where a drop-down menu for it would open.
// Setting Cancel keeps the button's own action from happening. Every
// listener sees what the ones before it left; changes to the first three
// have no effect on the skin.
struct ControlButtonClickArgs {
  qint32 ButtonIndex = 0;
  qint32 MenuX = 0;
  qint32 MenuY = 0;
  bool Cancel = false;
};

class FrameMouse : public QObject {
  Q_OBJECT

 public:
  // A mouse event in client pixels: Button 0 none, 1 left, 2 right,
  // 3 middle.
  struct MouseEvent {
    qint16 Button = 0;
    qint32 X = 0;
    qint32 Y = 0;
  };

  // Loads the system pointer shapes. The parts outlive this one.
  FrameMouse(const FrameGeometry& geometry, FadeAnimation& fade, const HostWindow& host,
             const FramePainter& painter);
  ~FrameMouse() override;

  void OnMouseDown(const MouseEvent& e);
  void OnMouseMove(const MouseEvent& e);
  void OnMouseUp(const MouseEvent& e);
  void OnDblClick(const MouseEvent& e);
  // The pointer left the window.
  void onMouseLeave();

  // Clicks the button as the mouse does, without its pressed look:
  // ControlButtonClick, then the button's action unless cancelled. A hidden
  // button, or any button of a window not attached, does nothing.
  void clickButton(CaptionButtonId id);

  // Releases the pointer shapes (the teardown).
  void destroyCursors();

  // The caption button under the pointer and the one pressed with the left
  // button, if any.
  std::optional<CaptionButtonId> hotButton() const { return HotButton; }
  std::optional<CaptionButtonId> pressedButton() const { return PressedButton; }
  // The area a button went down in, and the one under the pointer.
  Area pressedArea() const { return PressedArea; }
  Area hoverArea() const { return HoverArea; }
  // The last move left the pointer to the window's own shape (false where an
  // edge keeps the resize zone's shape).
  bool pointerReset() const { return PointerReset; }
  bool cursorsLoaded() const;

 signals:
  void ControlButtonClick(ControlButtonClickArgs& args);

 private:
  enum class ClickOutcome { Done, Cancelled, Gone };

  void StripMouseDown(const MouseEvent& e);
  void StripMouseMove(const MouseEvent& e);
  void StripMouseUp(const MouseEvent& e);
  void StripMouseLeave();
  void FrameMouseDown(const MouseEvent& e);
  void FrameMouseMove(const MouseEvent& e);
  void FrameMouseUp(const MouseEvent& e);
  bool gripsActive() const;
  // Hands the caption's press to the window system's move once the pointer
  // has left the drag distance around it with the button held.
  void moveOnceDragged(const MouseEvent& e);
  void toggleMaximise();
  ClickOutcome click(CaptionButtonId id);
  // Cancel as the listeners left it.
  bool raiseControlButtonClick(CaptionButtonId id);

  const FrameGeometry& geometry_;
  FadeAnimation& fade_;
  const HostWindow& host_;
  const FramePainter& painter_;
  std::array<ModAPI::HCURSOR, 15> Cursors{};
  std::optional<CaptionButtonId> HotButton;
  std::optional<CaptionButtonId> PressedButton;
  Area PressedArea = Area::AreaNone;
  Area HoverArea = Area::AreaNone;
  // The window was maximised at the latest move, or is being toggled.
  bool ZoomedAtMove = false;
  bool PointerReset = false;
  // Where the left button went down on the caption bar, until it comes up
  // or the move is handed over: a second click still reaches the window.
  std::optional<QPoint> captionPressedAt;
};
