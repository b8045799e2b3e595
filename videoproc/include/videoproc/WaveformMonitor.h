// WaveformMonitor: a plug-in control of 360 x 256 pixels that watches the
// board's input (or, as WaveformMonitorOut, its output) through a probe of
// the realtime engine and draws one of six scopes of every second line of
// the fields it takes, over a graticule picture, several times a second.
//
// Traces accumulate as bytes of an 8-bit display whose palette maps them to
// shades of green; the brightness scales the palette, and the graticule is
// divided by the same factor so that it keeps its look while the traces
// brighten.
//
// Threads: the engine's callback copies fields in, the monitor's own thread
// draws them, and the window thread paints, changes the mode and the
// brightness. The field buffer and the display each have a lock, so a paint
// never shows a half-drawn scope and a draw never sees a half-copied field.
#pragma once

#include <quellor/Export.h>

#include <qlxrapi/BaseWindowClass.h>
#include <qlxrapi/Thread.h>
#include <qlxrapi/VariableBlock.h>
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>

struct RTME_FieldInfo;

class QUELLOR_EXPORT WaveformMonitor : public BaseWindowClass, public Thread {
 public:
  // input: true watches the board's input pin, false its output monitor pin.
  // Throws (as char*) "Could not create the switcher client.", the engine's
  // and the probe's failure texts.
  explicit WaveformMonitor(bool input = true);
  ~WaveformMonitor() override;

  // 0 composite, 1 luma, 2 chroma, 3 YUV parade, 4 RGB parade, 5 vectorscope.
  // Another value keeps the graticule as it is (and draws only that).
  void WM_SetMode(int mode);
  int WM_GetMode();
  // Ignored before the display exists, when unchanged, and for 0.
  void SetBrightness(unsigned int brightness);

  void InitialiseWindow() override;
  void DestroyWindow() override;
  void PaintWindow(HWND window, HDC dc) override;
  void ThreadEntryPoint() override;

  // The process-wide graticules (92160 bytes each, 360 x 256, rows top
  // down), loaded with the plug-in; null before then and after unloading,
  // which draws on a blank graticule.
  static std::uint8_t* VectorScopeOverlay;
  static std::uint8_t* CompositeYcOverlay;
  static std::uint8_t* CompositeYcOverlay_Jap;
  static std::uint8_t* ComponentYUVOverlay;
  static std::uint8_t* ComponentYUVOverlay_Jap;
  static std::uint8_t* ComponentRGBOverlay;

  // ---- what the monitor shows, for hosts and tests --------------------------
  unsigned int GetBrightness() const { return m_brightness.load(); }
  bool IsJapanese() const { return m_japanese.load(); }
  // Waits that ended with a new field, and scopes drawn so far.
  std::uint32_t GetFrameCount() const { return m_frameCounter.load(); }
  std::uint32_t GetDrawCount() const { return m_drawCounter.load(); }
  // Fields the probe callback copied in (the others were of the parity the
  // monitor did not expect).
  std::uint32_t GetFieldsTaken() const { return m_fieldsTaken.load(); }
  // The frame count as it stood when the last scope was drawn: a field taken
  // before the count reached n is on the display once this is n or more.
  std::uint32_t GetDrawnFrame() const { return m_drawnFrame.load(); }
  // The fields-taken count as it stood when the field on the display was
  // copied in: the n-th field taken has been drawn once this is n or more.
  // Unlike the frame count it does not depend on how the drawing thread's
  // wake-ups fell between fields.
  std::uint32_t GetDrawnField() const { return m_drawnField.load(); }
  // Copies of the display bytes (92160) and its palette (256 entries); false
  // before the display exists.
  bool CopyDisplay(std::uint8_t* pixels, RGBQUAD* palette);
  void CopyWorkingGraticule(std::uint8_t* bytes);

  // The pause between detaching the probe and closing the engine (100 ms);
  // tests replace it. Null restores the real pause.
  static void SetTeardownPause(std::function<void(DWORD)> pause);

 private:
  static DWORD ProbeCallback(void* context, const BYTE* pixels, const RTME_FieldInfo* info);
  DWORD TakeField(const BYTE* pixels, const RTME_FieldInfo* info);
  bool IsJapaneseNTSC();
  void InstallPalette(unsigned int brightness);
  void DrawCurrentMode();
  void ReleaseEngine();

  // Engine handles; 0 when not held.
  DWORD m_switcher = 0;
  DWORD m_engine = 0;
  DWORD m_probe = 0;
  HANDLE m_frameEvent = nullptr;
  std::atomic<std::uint32_t> m_frameCounter{0};
  std::atomic<std::uint32_t> m_drawCounter{0};
  std::atomic<std::uint32_t> m_drawnFrame{0};
  std::atomic<std::uint32_t> m_fieldsTaken{0};  // counted under m_fieldLock
  std::atomic<std::uint32_t> m_drawnField{0};
  std::atomic<bool> m_running{false};
  std::atomic<bool> m_stop{false};
  std::atomic<bool> m_threadStarted{false};
  std::atomic<bool> m_japanese{false};
  // Each monitor keeps its own expected parity, so two monitors in one
  // process both see their fields.
  std::atomic<std::uint32_t> m_expectedParity{1};

  // The field buffer (144 lines of 1440 bytes) and the source line count of
  // the last field, under m_fieldLock.
  Variable_Block m_fieldLock;
  std::uint8_t* m_field = nullptr;
  std::uint32_t m_lineCount = 0;

  // Mode, working graticule, display and palette, under m_displayLock.
  Variable_Block m_displayLock;
  // The field as a draw walks it, copied out of m_field under m_fieldLock:
  // the engine's callback then waits for a copy at most, never for a draw.
  std::uint8_t* m_drawnCopy = nullptr;
  std::uint8_t* m_graticule = nullptr;
  std::atomic<unsigned int> m_brightness{300};
  std::atomic<int> m_mode{0};
  int m_graticuleMode = 0;  // the last mode that chose a graticule
  HDC m_displayDC = nullptr;
  HBITMAP m_displayBitmap = nullptr;
  HGDIOBJ m_previousBitmap = nullptr;
  BITMAPINFO* m_displayHeader = nullptr;  // header and 256 palette entries
  std::uint8_t* m_display = nullptr;      // the section's pixels
  std::uint32_t* m_vectorMap = nullptr;   // 65536 offsets into the display
  std::uint8_t* m_scratch = nullptr;      // one line as BGRA
};

// The monitor of the board's output.
class QUELLOR_EXPORT WaveformMonitorOut : public WaveformMonitor {
 public:
  WaveformMonitorOut() : WaveformMonitor(false) {}
};

// Load and free the six graticules along the "Skins" search path; the
// plug-in calls them when it loads and unloads. Init may be called again
// (it replaces what it loaded).
QUELLOR_EXPORT void WaveFormVectorScopeInit();
QUELLOR_EXPORT void WaveFormVectorScopeFree();
