#include <windows.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

using quellor::testing::ScopedEnvironment;
using quellor::testing::ScratchFolder;

std::string ChildProgram() {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  return (std::filesystem::path(program).parent_path() / "win32_kernel_test_child").string();
}

std::vector<std::string> Lines(const std::string& path) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

PROCESS_INFORMATION Start(std::string line, LPCSTR application = nullptr, LPCSTR folder = nullptr,
                          LPVOID environment = nullptr) {
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = 0;  // SW_HIDE
  PROCESS_INFORMATION info{};
  EXPECT_TRUE(CreateProcessA(application, line.data(), nullptr, nullptr, FALSE, 0, environment,
                             folder, &startup, &info))
      << line << " error " << GetLastError();
  return info;
}

DWORD Finish(PROCESS_INFORMATION& info) {
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 30000), WAIT_OBJECT_0);
  DWORD code = 12345;
  EXPECT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return code;
}

TEST(Processes, ExitCodesAndWaits) {
  auto info = Start("\"" + ChildProgram() + "\" exit 7");
  EXPECT_NE(info.dwProcessId, 0u);
  EXPECT_EQ(Finish(info), 7u);
}

TEST(Processes, CommandLinesAreSplitTheWindowsWay) {
  ScratchFolder folder{"win32_kernel"};
  std::string out = folder / "args.txt";
  auto info = Start("\"" + ChildProgram() + "\" args \"" + out +
                    R"(" plain "with space" a\\b "q\"uote" "tail\\" x""y "" last)");
  ASSERT_EQ(Finish(info), 0u);
  EXPECT_EQ(Lines(out), (std::vector<std::string>{"plain", "with space", R"(a\\b)", "q\"uote",
                                                  "tail\\", "xy", "", "last"}));
}

TEST(Processes, TerminationRunningStateAndOpenProcess) {
  auto info = Start("\"" + ChildProgram() + "\" wait");
  DWORD code = 0;
  ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  EXPECT_EQ(WaitForSingleObject(info.hProcess, 3), static_cast<DWORD>(WAIT_TIMEOUT));

  HANDLE opened = OpenProcess(PROCESS_ALL_ACCESS, FALSE, info.dwProcessId);
  ASSERT_NE(opened, nullptr);
  ASSERT_TRUE(TerminateProcess(opened, 9));
  EXPECT_EQ(WaitForSingleObject(info.hThread, 30000), WAIT_OBJECT_0);
  EXPECT_EQ(Finish(info), 9u);
  ASSERT_TRUE(GetExitCodeProcess(opened, &code));
  EXPECT_EQ(code, 9u);
  EXPECT_FALSE(TerminateProcess(opened, 1));  // already gone
  CloseHandle(opened);
  EXPECT_EQ(OpenProcess(PROCESS_ALL_ACCESS, FALSE, 0), nullptr);
}

TEST(Processes, ProgramsAreFoundOnThePathWithOrWithoutExe) {
  ScratchFolder folder{"win32_kernel"};
  // A link keeps the program beside its libraries (its run path is relative).
  std::filesystem::create_symlink(ChildProgram(), folder / "ZivaVIR");
  ScopedEnvironment path("PATH", folder.path() + ":/usr/bin:/bin");
  auto plain = Start("ZivaVIR exit 3");
  EXPECT_EQ(Finish(plain), 3u);
  auto with_exe = Start("ZivaVIR.exe exit 4");  // the stand-in has no extension
  EXPECT_EQ(Finish(with_exe), 4u);
}

TEST(Processes, FolderEnvironmentAndFailures) {
  ScratchFolder folder{"win32_kernel"};
  std::string out = folder / "cwd.txt";
  auto in_folder =
      Start("child cwd \"" + out + "\"", ChildProgram().c_str(), folder.path().c_str());
  ASSERT_EQ(Finish(in_folder), 0u);
  EXPECT_EQ(Lines(out), std::vector<std::string>{folder.path()});

  std::string env_out = folder / "env.txt";
  const char block[] = "QUELLOR_PROBE=42\0OTHER=x\0";
  auto with_env = Start("child env QUELLOR_PROBE \"" + env_out + "\"", ChildProgram().c_str(),
                        nullptr, const_cast<char*>(block));
  ASSERT_EQ(Finish(with_env), 0u);
  EXPECT_EQ(Lines(env_out), std::vector<std::string>{"42"});

  STARTUPINFOA startup{};
  PROCESS_INFORMATION info{};
  char missing[] = "no-such-program-anywhere arg";
  EXPECT_FALSE(CreateProcessA(nullptr, missing, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  std::string line = "child exit 0";
  EXPECT_FALSE(CreateProcessA(ChildProgram().c_str(), line.data(), nullptr, nullptr, FALSE, 0,
                              nullptr, (folder / "missing").c_str(), &startup, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
  std::ofstream(folder / "not-a-program") << "plain text";
  std::filesystem::permissions(folder / "not-a-program", std::filesystem::perms::owner_all);
  EXPECT_FALSE(CreateProcessA((folder / "not-a-program").c_str(), line.data(), nullptr, nullptr,
                              FALSE, 0, nullptr, nullptr, &startup, &info));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
}

TEST(Processes, ProcessesThatAreNotOurChildrenArePolled) {
  pid_t other = ::fork();
  if (other == 0) {
    for (;;) ::pause();
  }
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, static_cast<DWORD>(other));
  ASSERT_NE(process, nullptr);
  EXPECT_EQ(WaitForSingleObject(process, 3), static_cast<DWORD>(WAIT_TIMEOUT));
  DWORD code = 0;
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
  ASSERT_TRUE(TerminateProcess(process, 5));
  ::waitpid(other, nullptr, 0);  // its parent (this test) reaps it, not the subset
  EXPECT_EQ(WaitForSingleObject(process, 30000), WAIT_OBJECT_0);
  GetExitCodeProcess(process, &code);
  EXPECT_EQ(code, 5u);
  CloseHandle(process);
}

TEST(Processes, WaitForMultipleMixesProcessesAndEvents) {
  auto waiting = Start("\"" + ChildProgram() + "\" wait");
  HANDLE event = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE both[2] = {waiting.hProcess, event};
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 2), static_cast<DWORD>(WAIT_TIMEOUT));
  TerminateProcess(waiting.hProcess, 0);
  EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 30000), WAIT_OBJECT_0);
  CloseHandle(event);
  Finish(waiting);
}

}  // namespace
