#include "videoproc/RTVFileInput.h"

#include <windows.h>

#include <string>

#include "ClipCache.h"
#include "VideoItems.h"
#include "VideoRows.h"

using quellor::videoproc::ClipFieldSize;
using quellor::videoproc::ClipFrameCount;
using quellor::videoproc::ReadClipField;

namespace {

void FillBlack(const quellor::videoproc::VideoItemView& view) {
  quellor::videoproc::VideoRows().fillWords(view.words, kVideoUYVYBlack, view.wordCount);
}

}  // namespace

const char* RTVFileInput::DataStream_StreamsIn(unsigned long) {
  return nullptr;
}

const char* RTVFileInput::DataStream_StreamsOut() {
  return "RTV File Output";
}

DataStream_Processor* RTVFileInput::GetConnection_In(unsigned long) {
  return nullptr;
}

bool RTVFileInput::SetConnection_In(DataStream_Processor*, unsigned long) {
  return false;
}

void RTVFileInput::FileSelect_Set(unsigned long index, const char* name) {
  if (name == nullptr) return;
  // The names' lock over the whole change: a render sees names and counts
  // that belong together.
  FunctionBlock hold(m_names.GetLock());
  const std::uint32_t before = m_names.GetNoItems();
  FileSelectNames::FileSelect_Set(index, name);
  if (index >= before && m_names.GetNoItems() == before) return;  // the name was not stored
  const std::int32_t frames = ClipFrameCount(name);
  if (frames == 0) {
    OutputDebugStringA((std::string("RTVFileInput: clip \"") + name +
                        "\" cannot be opened or holds no frame; it is skipped\n")
                           .c_str());
  }
  if (index < m_frameCounts.GetNoItems()) {
    m_frameCounts[static_cast<std::uint32_t>(index)] = frames;
  } else {
    m_frameCounts.AddItem(frames);
  }
  std::uint32_t width = 0, lines = 0;
  if (ClipFieldSize(name, &width, &lines))
    m_frameRate = lines == 240 ? kNtscFrameRate : kPalFrameRate;
}

void RTVFileInput::FileSelect_DeleteFilename(unsigned int index) {
  FunctionBlock hold(m_names.GetLock());
  if (index >= m_names.GetNoItems()) return;
  FileSelectNames::FileSelect_DeleteFilename(index);
  m_frameCounts.RemoveItemAtInOrder(index);
}

void RTVFileInput::FileSelect_StartSetting() {
  FunctionBlock hold(m_names.GetLock());
  FileSelectNames::FileSelect_StartSetting();
  m_frameCounts.Clear();
}

double RTVFileInput::GetClipLength(unsigned int index) {
  FunctionBlock hold(m_names.GetLock());
  if (index >= m_frameCounts.GetNoItems()) return 0.0;
  return m_frameCounts[index] / m_frameRate;
}

double RTVFileInput::GetFrameRate() {
  FunctionBlock hold(m_names.GetLock());
  return m_frameRate;
}

double RTVFileInput::GetPreferredLength() {
  FunctionBlock hold(m_names.GetLock());
  return LengthLocked();
}

double RTVFileInput::LengthLocked() {
  std::int64_t frames = 0;
  for (std::uint32_t i = 0; i < m_frameCounts.GetNoItems(); ++i) frames += m_frameCounts[i];
  return frames > 0 ? static_cast<double>(frames - 1) / m_frameRate : 0.0;
}

bool RTVFileInput::Render(DataStream* stream, DataStream_Processor*, bool*) {
  if (stream == nullptr) return true;
  FunctionBlock hold(m_names.GetLock());
  const double length = LengthLocked();
  for (unsigned long i = 0; DataStream_Data* item = stream->GetStream(kVideoStreamName, i); ++i) {
    RenderItem(item, length);
  }
  return true;
}

// Names lock held.
void RTVFileInput::RenderItem(DataStream_Data* item, double length) {
  quellor::videoproc::VideoItemView view;
  if (!quellor::videoproc::ViewVideoItem(item, view)) return;
  const std::uint32_t clips = std::min(m_names.GetNoItems(), m_frameCounts.GetNoItems());
  // The last clip that holds frames: missing clips (count 0) are skipped.
  std::int32_t last = -1;
  for (std::uint32_t c = 0; c < clips; ++c) {
    if (m_frameCounts[c] > 0) last = static_cast<std::int32_t>(c);
  }
  if (last < 0) {  // no clip, or none that opens: black
    FillBlack(view);
    return;
  }
  double t = view.header->time;
  if (!(t < length)) t = length;  // beyond the end (or not a number): the last frame
  std::int64_t n = static_cast<std::int64_t>(t * 2.0 * m_frameRate + 0.5);
  if (n < 0) n &= 1;  // before the start: frame 0, same field parity
  std::uint32_t clip = 0;
  for (; clip < clips; ++clip) {
    const std::int64_t fields = std::int64_t{m_frameCounts[clip]} * 2;
    if (n < fields) break;
    n -= fields;
  }
  if (clip >= clips) {  // past the last clip: its last frame, same parity
    clip = static_cast<std::uint32_t>(last);
    const std::int64_t fields = std::int64_t{m_frameCounts[clip]} * 2;
    n = fields - ((n & 1) ? 1 : 2);
  }
  const std::uint32_t lines = view.lines;
  if (!ReadClipField(m_names[clip], static_cast<std::uint64_t>(n),
                     reinterpret_cast<std::uint8_t*>(view.words), view.width, lines)) {
    FillBlack(view);  // an unreadable field shows black, not a stale buffer
  }
}
