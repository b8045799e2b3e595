// UtilLib_Window: the skinned frame window. A free-form layout that builds
// ten pieces by window class name: a free-form centre for the content, four
// edges and four corners that resize it and a title bar that moves it, each
// drawn from a registered look ("DEFAULTRESOURCE_WINDOWTOP", ...), so that a
// skin that registers other looks under those names changes the frame.
#pragma once

#include <quellor/Export.h>

#include "qlxrapi/UtilLib_FreeFormLayout.h"

class QUELLOR_EXPORT UtilLib_Window : public UtilLib_FreeFormLayout {
 public:
  // The pieces in building order.
  enum Piece : int {
    kCentre,
    kTopLeft,
    kTop,
    kTopRight,
    kBottomLeft,
    kBottom,
    kBottomRight,
    kLeft,
    kRight,
    kTitleBar,
    kPieces
  };

  // Builds the pieces once (a second call does nothing), applies the skin and
  // places them. Runs when the window is initialised.
  void BuildWindow();
  // Gives every piece its look by name again and places the pieces.
  void ApplySkin();
  // Places the pieces from their preferred sizes in the client area.
  void PlacePieces();

  HWND GethWnd_Top() const { return m_pieces[kTop]; }
  HWND GethWnd_TopLeft() const { return m_pieces[kTopLeft]; }
  HWND GethWnd_TopRight() const { return m_pieces[kTopRight]; }
  HWND GethWnd_Left() const { return m_pieces[kLeft]; }
  HWND GethWnd_Right() const { return m_pieces[kRight]; }
  HWND GethWnd_Bottom() const { return m_pieces[kBottom]; }
  HWND GethWnd_BottomLeft() const { return m_pieces[kBottomLeft]; }
  HWND GethWnd_BottomRight() const { return m_pieces[kBottomRight]; }
  HWND GethWnd_TitleBar() const { return m_pieces[kTitleBar]; }
  HWND GethWnd_Centre() const { return m_pieces[kCentre]; }

  void InitialiseWindow() override;
  void WindowSized(long width, long height) override;
  void Child_Destroyed(HWND child) override;

 protected:
  // Each creates its piece (null when it cannot be made).
  virtual HWND BuildCentre();
  virtual HWND BuildTop();
  virtual HWND BuildTopLeft();
  virtual HWND BuildTopRight();
  virtual HWND BuildBottom();
  virtual HWND BuildBottomLeft();
  virtual HWND BuildBottomRight();
  virtual HWND BuildLeft();
  virtual HWND BuildRight();
  virtual HWND BuildTitleBar();

  HWND BuildPiece(const char* className, long x, long y);

 private:
  HWND m_pieces[kPieces] = {};
  bool m_built = false;
  bool m_placing = false;
};
