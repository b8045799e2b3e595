// The waveform monitor's life: engine objects, the probe callback, the
// drawing thread and the window's display.
#include "videoproc/WaveformMonitor.h"

#include <board/Engine.h>
#include <board/Support.h>
#include <qlxrapi/WindowBitmap.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>
#include <string>

#include "ScopeRows.h"
#include "WaveformTexts.h"

using namespace quellor::videoproc;

namespace {

constexpr DWORD kFrameWaitMs = 500;
constexpr std::size_t kFieldBufferBytes = kScopeKeptLines * kScopeLineBytes;  // 207360
// Names are numbered by the tick count; another number is tried while a name
// is taken (two monitors made within one millisecond).
constexpr DWORD kNameAttempts = 16;

std::mutex g_pauseLock;
std::function<void(DWORD)> g_teardownPause;

void TeardownPause(DWORD milliseconds) {
  std::function<void(DWORD)> pause;
  {
    std::lock_guard<std::mutex> lock(g_pauseLock);
    pause = g_teardownPause;
  }
  if (pause) {
    pause(milliseconds);
  } else {
    Sleep(milliseconds);
  }
}

// The graticule of a mode, with the Japanese variants where they exist.
const std::uint8_t* GraticuleFor(int mode, bool japanese) {
  switch (mode) {
    case kScopeComposite:
    case kScopeLuma:
      return japanese ? WaveformMonitor::CompositeYcOverlay_Jap
                      : WaveformMonitor::CompositeYcOverlay;
    case kScopeChroma:
      return WaveformMonitor::CompositeYcOverlay;
    case kScopeYuvParade:
      return japanese ? WaveformMonitor::ComponentYUVOverlay_Jap
                      : WaveformMonitor::ComponentYUVOverlay;
    case kScopeRgbParade:
      return WaveformMonitor::ComponentRGBOverlay;
    case kScopeVector:
      return WaveformMonitor::VectorScopeOverlay;
    default:
      return nullptr;
  }
}

// "%s.<kind>%d" of the engine name and the number.
template <typename Create>
DWORD CreateNumbered(const char* kind, Create create) {
  const DWORD tick = GetTickCount();
  for (DWORD attempt = 0; attempt < kNameAttempts; ++attempt) {
    const std::string name = std::string(kScopeEngineName) + "." + kind +
                             std::to_string(static_cast<int>(tick + attempt));
    if (const DWORD handle = create(name.c_str()); handle != 0) return handle;
  }
  return 0;
}

}  // namespace

WaveformMonitor::WaveformMonitor(bool input) {
  m_switcher = CreateNumbered("SwitcherClient",
                              [](const char* name) { return RTME_OpenSwitcherClient(name); });
  if (m_switcher == 0) throw kScopeNoSwitcher;
  m_japanese = IsJapaneseNTSC();
  try {
    m_engine = RTME_OpenEngine();
    if (m_engine == 0) throw kScopeNoEngine;
    const DWORD context = RTME_GetMediaContext(m_engine);
    m_probe = CreateNumbered(
        "Probe", [context](const char* name) { return RTME_CreateProbe(context, name); });
    char pin[64];
    std::snprintf(pin, sizeof pin,
                  input ? "media.pins.quellor.vin%ld.out" : "media.pins.quellor.vout%ld.out", 0L);
    if (m_probe == 0 || !RTME_AttachProbe(m_probe, pin)) throw kScopeNoProbe;

    m_frameEvent = CreateEventA(nullptr, FALSE, TRUE, nullptr);
    m_field = new std::uint8_t[kFieldBufferBytes];
    for (std::size_t i = 0; i < kFieldBufferBytes; i += 2) {
      m_field[i] = 0x80;
      m_field[i + 1] = 0x10;
    }
    m_drawnCopy = new std::uint8_t[kFieldBufferBytes];
    m_graticule = new std::uint8_t[kScopeBytes]();
    if (m_frameEvent == nullptr) throw kScopeNoProbe;
    SetEvent(m_frameEvent);
    RTME_SetProbeCallback(m_probe, this, &WaveformMonitor::ProbeCallback);
  } catch (...) {
    ReleaseEngine();
    throw;
  }
  WM_SetMode(0);
}

WaveformMonitor::~WaveformMonitor() {
  // A host that deletes the object without destroying its window still gets
  // the thread stopped before anything it uses goes.
  DestroyWindow();
  ReleaseEngine();
}

void WaveformMonitor::ReleaseEngine() {
  if (m_switcher != 0) RTME_CloseSwitcherClient(m_switcher);
  m_switcher = 0;
  if (m_probe != 0) {
    RTME_AttachProbe(m_probe, nullptr);  // waits for a callback under way
    RTME_DestroyProbe(m_probe);
    m_probe = 0;
    TeardownPause(100);
  }
  if (m_engine != 0) RTME_CloseEngine(m_engine);
  m_engine = 0;
  if (m_frameEvent != nullptr) CloseHandle(m_frameEvent);
  m_frameEvent = nullptr;
  delete[] m_field;
  m_field = nullptr;
  delete[] m_drawnCopy;
  m_drawnCopy = nullptr;
  delete[] m_graticule;
  m_graticule = nullptr;
}

void WaveformMonitor::SetTeardownPause(std::function<void(DWORD)> pause) {
  std::lock_guard<std::mutex> lock(g_pauseLock);
  g_teardownPause = std::move(pause);
}

// ---- fields --------------------------------------------------------------------

DWORD WaveformMonitor::ProbeCallback(void* context, const BYTE* pixels,
                                     const RTME_FieldInfo* info) {
  return static_cast<WaveformMonitor*>(context)->TakeField(pixels, info);
}

DWORD WaveformMonitor::TakeField(const BYTE* pixels, const RTME_FieldInfo* info) {
  if (pixels != nullptr && info != nullptr &&
      RTME_GetFieldParity(&info->format) == m_expectedParity) {
    // Every second line, at most 144, and never past the delivered bytes.
    const std::uint32_t delivered = info->fieldBytes / kScopeLineBytes;
    const std::uint32_t kept =
        std::min({info->format.lineCount / 2, kScopeKeptLines, (delivered + 1) / 2});
    {
      FunctionBlock hold(m_fieldLock);
      for (std::uint32_t line = 0; line < kept; ++line) {
        std::memcpy(m_field + line * kScopeLineBytes, pixels + 2 * line * kScopeLineBytes,
                    kScopeLineBytes);
      }
      m_lineCount = 2 * kept;
      ++m_fieldsTaken;  // with the copy, so a draw knows which field it shows
    }
    SetEvent(m_frameEvent);
    m_expectedParity ^= 1u;
  }
  const DWORD token = info != nullptr ? info->bufferToken : 0;
  return Harmonex_ReleaseField(RTME_GetProbeBufferOwner(m_probe), token);
}

bool WaveformMonitor::IsJapaneseNTSC() {
  std::int32_t value = 0;
  if (!RTME_GetControl(m_switcher, 0, 0, "control.pedestal", kRtmeControlTypeSetting, &value,
                       sizeof value)) {
    return false;
  }
  // The output settings send 1 for NTSC with its 7.5 IRE pedestal and 0 when
  // the pedestal is removed for Japan, so only 0 asks for the graticules
  // without setup. A control nobody has set reads as the standard.
  return value == 0;
}

// ---- mode and brightness ----------------------------------------------------------

void WaveformMonitor::WM_SetMode(int mode) {
  FunctionBlock hold(m_displayLock);
  m_mode = mode;
  m_japanese = IsJapaneseNTSC();
  if (m_graticule == nullptr) return;
  // Another mode keeps the last graticule; it is rebuilt from its picture,
  // so scaling never compounds.
  if (mode >= 0 && mode < kScopeModes) m_graticuleMode = mode;
  const std::uint8_t* source = GraticuleFor(m_graticuleMode, m_japanese);
  const unsigned int brightness = m_brightness;
  for (std::size_t i = 0; i < kScopeBytes; ++i) {
    const unsigned int v = source != nullptr ? source[i] : 0u;
    m_graticule[i] = static_cast<std::uint8_t>(std::min(v * 256u / brightness, 255u));
  }
}

int WaveformMonitor::WM_GetMode() {
  return m_mode;
}

void WaveformMonitor::InstallPalette(unsigned int brightness) {
  RGBQUAD* colours = m_displayHeader->bmiColors;
  for (unsigned int i = 0; i < 256; ++i) {
    colours[i] = RGBQUAD{0, static_cast<BYTE>(std::min((i * brightness) >> 8, 254u)), 0, 0};
  }
  if (m_displayDC != nullptr) SetDIBColorTable(m_displayDC, 0, 256, colours);
}

void WaveformMonitor::SetBrightness(unsigned int brightness) {
  FunctionBlock hold(m_displayLock);
  // 0 would divide the graticule by nothing.
  if (brightness == 0 || brightness == m_brightness || m_displayDC == nullptr) return;
  InstallPalette(brightness);
  m_brightness = brightness;
  WM_SetMode(m_mode);
}

// ---- the window -----------------------------------------------------------------

void WaveformMonitor::InitialiseWindow() {
  FunctionBlock hold(m_displayLock);
  if (m_displayDC != nullptr) return;
  HDC dc = BuildHDC(8);
  if (dc == nullptr) throw kScopeNoDisplayDC;
  auto* header = static_cast<BITMAPINFO*>(
      ::operator new(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), std::nothrow));
  if (header == nullptr) {
    DeleteDC(dc);
    throw kScopeNoBitmapData;
  }
  std::memset(header, 0, sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  header->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  header->bmiHeader.biWidth = kScopeWidth;
  header->bmiHeader.biHeight = -kScopeHeight;  // top-down
  header->bmiHeader.biPlanes = 1;
  header->bmiHeader.biBitCount = 8;
  header->bmiHeader.biCompression = BI_RGB;
  header->bmiHeader.biSizeImage = kScopeBytes;
  header->bmiHeader.biClrUsed = 256;
  m_displayHeader = header;
  InstallPalette(m_brightness);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(dc, header, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (bitmap == nullptr || bits == nullptr) {
    if (bitmap != nullptr) DeleteObject(bitmap);
    DeleteDC(dc);
    ::operator delete(header);
    m_displayHeader = nullptr;
    throw kScopeNoBitmapData;
  }
  m_previousBitmap = SelectObject(dc, bitmap);
  m_displayDC = dc;
  m_displayBitmap = bitmap;
  m_display = static_cast<std::uint8_t*>(bits);
  std::memcpy(m_display, m_graticule, kScopeBytes);

  SetBrightness(600);

  m_vectorMap = new std::uint32_t[256 * 256];
  BuildVectorScopeMap(m_vectorMap);
  m_scratch = new std::uint8_t[kScopeLinePixels * 4];
  m_threadStarted = StartThread();
}

void WaveformMonitor::DestroyWindow() {
  if (m_threadStarted.exchange(false)) {
    m_stop = true;
    SetEvent(m_frameEvent);  // wake it now rather than at its next time-out
    WaitForSingleObject(GetThreadHandle(), INFINITE);
  }
  FunctionBlock hold(m_displayLock);
  if (m_displayDC != nullptr) {
    SelectObject(m_displayDC, m_previousBitmap);
    DeleteObject(m_displayBitmap);
    DeleteDC(m_displayDC);
  }
  m_displayDC = nullptr;
  m_displayBitmap = nullptr;
  m_display = nullptr;
  ::operator delete(m_displayHeader);
  m_displayHeader = nullptr;
  delete[] m_vectorMap;
  m_vectorMap = nullptr;
  delete[] m_scratch;
  m_scratch = nullptr;
}

void WaveformMonitor::PaintWindow(HWND, HDC dc) {
  FunctionBlock hold(m_displayLock);
  if (m_display == nullptr) return;
  SetDIBitsToDevice(dc, 0, 0, kScopeWidth, kScopeHeight, 0, 0, 0, kScopeHeight, m_display,
                    m_displayHeader, DIB_RGB_COLORS);
}

bool WaveformMonitor::CopyDisplay(std::uint8_t* pixels, RGBQUAD* palette) {
  FunctionBlock hold(m_displayLock);
  if (m_display == nullptr) return false;
  if (pixels != nullptr) std::memcpy(pixels, m_display, kScopeBytes);
  if (palette != nullptr) std::memcpy(palette, m_displayHeader->bmiColors, 256 * sizeof(RGBQUAD));
  return true;
}

void WaveformMonitor::CopyWorkingGraticule(std::uint8_t* bytes) {
  FunctionBlock hold(m_displayLock);
  if (m_graticule != nullptr) std::memcpy(bytes, m_graticule, kScopeBytes);
}

// ---- the drawing thread ------------------------------------------------------------

void WaveformMonitor::DrawCurrentMode() {
  FunctionBlock display(m_displayLock);
  if (m_display == nullptr) return;
  std::uint32_t lines = 0, taken = 0;
  {
    FunctionBlock field(m_fieldLock);
    lines = m_lineCount / 2;
    std::memcpy(m_drawnCopy, m_field, std::size_t{lines} * kScopeLineBytes);
    taken = m_fieldsTaken.load();
  }
  DrawScope(m_mode, m_graticule, m_drawnCopy, lines, m_vectorMap, m_scratch, m_display);
  m_drawnField = taken;
  ++m_drawCounter;
}

void WaveformMonitor::ThreadEntryPoint() {
  m_running = true;
  while (!m_stop) {
    const DWORD wait = WaitForSingleObject(m_frameEvent, kFrameWaitMs);
    if (m_stop) break;
    const bool signalled = wait == WAIT_OBJECT_0;
    const std::uint32_t counter = signalled ? ++m_frameCounter : m_frameCounter.load();
    if ((!signalled || counter % 16 == 0) && IsJapaneseNTSC() != m_japanese) WM_SetMode(m_mode);
    DrawCurrentMode();
    m_drawnFrame = counter;
    // Only marks the window for painting: a paint sent from here would wait
    // for the window thread, which may itself be waiting for this thread.
    if (HWND window = GetWindowHandle(); window != nullptr)
      ::InvalidateRect(window, nullptr, FALSE);
  }
  m_running = false;
}
