#include "BoardTestSupport.h"

#include "quellor/testing/BoardReset.h"

namespace quellor::board::tests {

void BoardTest::SetUp() {
  scratch_.emplace("board");
  folder_ = scratch_->path() + "/board";  // made by the board when it first needs it
  quellor::testing::UsePrivateBoard(folder_);
}

void BoardTest::TearDown() {
  quellor::testing::ResetBoard();
  scratch_.reset();
}

void RecordingProbe::Open(const char* name, const char* pin) {
  instance = RTME_OpenEngine();
  ASSERT_NE(instance, 0u);
  probe = RTME_CreateProbe(RTME_GetMediaContext(instance), name);
  ASSERT_NE(probe, 0u);
  owner = RTME_GetProbeBufferOwner(probe);
  ASSERT_NE(owner, 0u);
  ASSERT_TRUE(RTME_AttachProbe(probe, pin));
  ASSERT_TRUE(RTME_SetProbeCallback(probe, this, &RecordingProbe::Callback));
}

void RecordingProbe::Close() {
  RTME_AttachProbe(probe, nullptr);
  RTME_DestroyProbe(probe);
  RTME_CloseEngine(instance);
}

DWORD RecordingProbe::Callback(void* context, const BYTE* pixels, const RTME_FieldInfo* info) {
  auto* self = static_cast<RecordingProbe*>(context);
  self->fields.push_back({*info, std::vector<BYTE>(pixels, pixels + info->fieldBytes)});
  if (self->hold) return 1;
  return Harmonex_ReleaseField(self->owner, info->bufferToken);
}

HelperProcess::HelperProcess(const std::vector<std::string>& arguments)
    : child_(quellor::testing::ProgramPath("board_test_helper"), arguments) {
  firstLine_ = child_.ReadLine();
}

int HelperProcess::Finish() {
  return child_.Finish();
}

std::string RunHelper(const std::vector<std::string>& arguments, int* exitStatus) {
  HelperProcess helper(arguments);
  const std::string line = helper.firstLine();
  const int status = helper.Finish();
  if (exitStatus) *exitStatus = status;
  return line;
}

}  // namespace quellor::board::tests
