// The board as a whole, for the board tool.
#include "board/BoardControl.h"

#include "Board.h"
#include "BoardFolder.h"

namespace quellor::board {

// ---- Board members behind these calls ----------------------------------------------

bool Board::ReadInputState(InputState& state) {
  std::lock_guard lock(mutex_);
  RefreshInput(false);
  state = input_;
  return shared_->IsOpen();
}

bool Board::StoreInputSetting(const InputSetting& setting) {
  std::lock_guard lock(mutex_);
  if (!inputStore_->Store(setting)) return false;
  RefreshInput(true);
  return true;
}

bool Board::RenderInputFrame(BoardFrame& frame, std::string& error) {
  const std::uint32_t field = CurrentField();
  std::lock_guard lock(mutex_);
  RefreshInput(false);
  if (!signal_.HasSignal()) {
    error = "the input has no signal";
    return false;
  }
  frame.standard = signal_.standard();
  const size_t fieldBytes = static_cast<size_t>(FieldLines(frame.standard)) * kBoardLineBytes;
  frame.pixels.resize(2 * fieldBytes);
  const std::uint32_t first = field & ~1u;
  if (!signal_.RenderField(first, frame.pixels.data()) ||
      !signal_.RenderField(first + 1, frame.pixels.data() + fieldBytes)) {
    error = "the input signal could not be read";
    return false;
  }
  return true;
}

bool Board::ReadShownFrame(BoardFrame& frame) {
  std::lock_guard lock(mutex_);
  DWORD standard = 0;
  if (!shared_->ReadShownFrame(standard, frame.pixels)) return false;
  frame.standard = standard == kFieldStandardPal ? VideoStandard::Pal : VideoStandard::Ntsc;
  return true;
}

std::uint64_t Board::BoardOverruns() {
  std::lock_guard lock(mutex_);
  return shared_->Overruns();
}

std::uint64_t Board::RepeatedFields() {
  std::lock_guard lock(mutex_);
  return shared_->RepeatedFields();
}

bool Board::OutputShowsFrame() {
  std::lock_guard lock(mutex_);
  return shared_->OutputShowsFrame();
}

DWORD Board::LastShownField() {
  std::lock_guard lock(mutex_);
  return shared_->LastShownField();
}

// ---- the public calls --------------------------------------------------------------------

const char* InputSourceName(InputSourceKind kind) {
  switch (kind) {
    case InputSourceKind::Bars:
      return "bars";
    case InputSourceKind::Black:
      return "black";
    case InputSourceKind::Clip:
      return "clip";
    case InputSourceKind::None:
      return "none";
  }
  return "none";
}

const char* VideoStandardName(VideoStandard standard) {
  return standard == VideoStandard::Pal ? "PAL" : "NTSC";
}

double FieldRate(VideoStandard standard) {
  return standard == VideoStandard::Pal ? 50.0 : 60000.0 / 1001.0;
}

std::uint32_t FieldLines(VideoStandard standard) {
  return standard == VideoStandard::Pal ? kPalFieldLines : kNtscFieldLines;
}

std::string BoardFolderPath() {
  return Board::Instance().folder();
}

bool ReadBoardStatus(BoardStatus& status, std::string& error) {
  Board& board = Board::Instance();
  InputState state;
  if (!board.ReadInputState(state)) {
    error = "cannot use the board folder " + board.folder();
    return false;
  }
  status.folder = board.folder();
  status.input = state.setting;
  status.fieldRate = FieldRate(state.setting.standard);
  status.fieldCounter = board.CurrentField();
  status.objects = ListNamedObjects(status.folder);
  status.overruns = board.BoardOverruns();
  status.repeatedFields = board.RepeatedFields();
  status.outputLive = !board.OutputShowsFrame();
  status.lastShownField = board.LastShownField();
  return true;
}

bool ReadInputSource(InputSetting& setting, std::string& error) {
  InputState state;
  if (!Board::Instance().ReadInputState(state)) {
    error = "cannot use the board folder " + Board::Instance().folder();
    return false;
  }
  setting = state.setting;
  return true;
}

bool SetInputSource(const InputSetting& setting, std::string& error) {
  InputSetting checked = setting;
  if (checked.kind == InputSourceKind::Clip) {
    auto clip = OpenClipFieldReader(checked.clipPath, error);
    if (!clip) return false;
    checked.standard = clip->standard();
  } else {
    checked.clipPath.clear();
  }
  if (!Board::Instance().StoreInputSetting(checked)) {
    error = "cannot write the input setting in " + Board::Instance().folder();
    return false;
  }
  return true;
}

std::vector<ControlEntry> ListControls() {
  return ControlStore(BoardFolderPath()).List();
}

bool SetControl(const std::string& side, const std::string& name, std::int32_t value,
                std::string& error) {
  ControlSide controlSide;
  if (side == "input") {
    controlSide = ControlSide::Input;
  } else if (side == "output") {
    controlSide = ControlSide::Output;
  } else {
    error = "unknown side \"" + side + "\" (input or output)";
    return false;
  }
  DWORD type = ControlStore::BuiltInType(controlSide, name);
  if (type == 0) type = 4;
  const std::string folder = BoardFolderPath();
  if (!EnsureBoardFolder(folder) ||
      !ControlStore(folder).Set(controlSide, name.c_str(), type, value)) {
    error = "cannot set " + side + " control \"" + name + "\"";
    return false;
  }
  return true;
}

bool ReadShownFrame(BoardFrame& frame, std::string& error) {
  if (Board::Instance().ReadShownFrame(frame)) return true;
  return ReadInputFrame(frame, error);
}

bool ReadInputFrame(BoardFrame& frame, std::string& error) {
  return Board::Instance().RenderInputFrame(frame, error);
}

}  // namespace quellor::board
