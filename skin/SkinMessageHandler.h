// The skin's message handler: what each message of the skinned window that
// the skin subscribes does. Once attached as the window's hook it lays the
// frame out again on every size change, paints the window from the frame,
// keeps the system's frame painting out, limits the window's size, repaints
// the frame on activation changes, steps the fades on the fade timer and
// turns mouse messages into mouse events for the frame's mouse handling.
// Every message but WM_NCACTIVATE comes back handled with result 0, the key
// messages too: the window's own handling never sees them.
#pragma once

#include "FadeAnimation.h"
#include "FrameGeometry.h"
#include "FrameMouse.h"
#include "FramePainter.h"
#include "HostWindow.h"
#include "SkinDescription.h"
#include "Subclass.h"

class SkinMessageHandler final : public ModAPI::SubclassHandler {
 public:
  // Handles the messages of `host`; the parts outlive the handler.
  SkinMessageHandler(SkinDescription& description, FrameGeometry& geometry, HostWindow& host,
                     FadeAnimation& fade, FramePainter& painter, FrameMouse& mouse);

  // Installs the hook on the host window and subscribes the messages.
  void attach();
  // The layout pass: measures the window, lays the frame out from the
  // current "Cmd" keys, gives the window its outline, makes surfaces of the
  // client size where the old ones do not fit, and paints the frame. The
  // window is raised and activated with it, except after a size change
  // (`WM_SIZE`): whoever changed the size, the window keeps its place among
  // the others and the focus stays where it is.
  void LayoutFrame();
  // Releases every surface and pointer shape, stops the fade and removes the
  // hook. The window keeps its changed style and its outline.
  void tearDown();

  void zSubclass_Proc(bool bBefore, bool& bHandled, qint32& lReturn, ModAPI::HWND& lhWnd,
                      quint32& uMsg, quint32& wParam, qint32& lParam) override;

  // A mouse-leave notification has been asked for since the pointer last
  // left the window.
  bool leaveTracking() const { return LeaveTracking; }
  const ModAPI::SubclassTable& subclassTable() const { return SubclassTable; }

  // The button a mouse move reports from the keys held in its wParam: left
  // 1, right 2, middle 3; the later wins, so with left and middle held it is
  // 3.
  static qint16 moveButton(quint32 wParam);

 private:
  void layOut(HostWindow::FrameRefresh refresh);
  void handle(bool bBefore, quint32 uMsg, quint32 wParam, qint32 lParam);
  // The mouse handling may drop the skin object: nothing of the handler may
  // be touched after it.
  void handleMouse(quint32 uMsg, quint32 wParam, qint32 lParam);
  void TrackLeave();
  void paintWindow(bool bBefore);
  void limitSize(qint32 lParam);
  void applyOutline();
  CmdKeys cmdKeys();

  SkinDescription& description_;
  FrameGeometry& geometry_;
  HostWindow& host_;
  FadeAnimation& fade_;
  FramePainter& painter_;
  FrameMouse& mouse_;
  ModAPI::SubclassTable SubclassTable{1};
  bool LeaveTracking = false;
};
