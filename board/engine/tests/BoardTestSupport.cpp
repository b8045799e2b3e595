#include "BoardTestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>

#include "board/testing/BoardClock.h"

extern char** environ;

namespace quellor::board::tests {

void BoardTest::SetUp() {
  static std::atomic<int> serial{0};
  const char* root = std::getenv("QUELLOR_TEST_TMP");
  const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
  folder_ = std::string(root ? root : "/tmp") + "/board-" + test->test_suite_name() + "-" +
            test->name() + "-" + std::to_string(getpid()) + "-" + std::to_string(serial++);
  std::filesystem::remove_all(folder_);
  setenv("QUELLOR_BOARD_DIR", folder_.c_str(), 1);
  unsetenv("QUELLOR_BOARD");
  testing::UseManualClock(0);
  testing::ResetBoard();
}

void BoardTest::TearDown() {
  testing::ResetBoard();
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
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

// QUELLOR_BIN, else the programs folder of the build this test runs from
// (<build>/tests/<name>/ beside <build>/bin/).
static std::string HelperPath() {
  if (const char* bin = std::getenv("QUELLOR_BIN"); bin && *bin)
    return std::string(bin) + "/board_test_helper";
  std::error_code error;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
  return (self.parent_path().parent_path().parent_path() / "bin" / "board_test_helper").string();
}

HelperProcess::HelperProcess(const std::vector<std::string>& arguments) {
  int input[2], output[2];
  if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, input[0], 0);
  posix_spawn_file_actions_adddup2(&actions, output[1], 1);
  const std::string path = HelperPath();
  std::vector<char*> argv{const_cast<char*>(path.c_str())};
  for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, path.c_str(), &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  close(input[0]);
  close(output[1]);
  toChild_ = input[1];
  fromChild_ = output[0];
  char c;
  while (read(fromChild_, &c, 1) == 1 && c != '\n') firstLine_ += c;
}

HelperProcess::~HelperProcess() {
  Finish();
}

int HelperProcess::Finish() {
  if (toChild_ >= 0) close(toChild_);
  toChild_ = -1;
  if (fromChild_ >= 0) close(fromChild_);
  fromChild_ = -1;
  if (pid_ < 0) return -1;
  int status = 0;
  waitpid(pid_, &status, 0);
  pid_ = -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string RunHelper(const std::vector<std::string>& arguments, int* exitStatus) {
  HelperProcess helper(arguments);
  const std::string line = helper.firstLine();
  const int status = helper.Finish();
  if (exitStatus) *exitStatus = status;
  return line;
}

}  // namespace quellor::board::tests
