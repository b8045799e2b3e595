#include <win32/quellor_host.h>
#include <win32/testing/DebugOutput.h>
#include <windows.h>

#include "quellor/testing/Environment.h"
#include "quellor/testing/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using quellor::win32::testing::ScopedDebugOutputCapture;

// FARPROC converts to a specific function type through void(*)(), the one
// generic function pointer type that -Wcast-function-type accepts.
template <typename Function>
Function* ProcAs(FARPROC proc) {
  return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(proc));
}

std::string TestFolderPath() {
  char program[MAX_PATH];
  GetModuleFileNameA(nullptr, program, sizeof program);
  return std::filesystem::path(program).parent_path().string();
}

std::string ModulePath(const char* variant) {
  return TestFolderPath() + "/kernel_test_" + variant + ".so";
}

TEST(Modules, ProgramNameAndHandle) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  ASSERT_GT(length, 0u);
  EXPECT_EQ(std::filesystem::path(path).filename(), "win32_kernel_tests");
  EXPECT_EQ(path[0], '/');
  HMODULE program = GetModuleHandleA(nullptr);
  ASSERT_NE(program, nullptr);
  EXPECT_EQ(quellor::win32::ModuleFromAddress(reinterpret_cast<const void*>(&TestFolderPath)),
            program);
  char same[MAX_PATH];
  EXPECT_EQ(GetModuleFileNameA(program, same, sizeof same), length);
  EXPECT_STREQ(same, path);

  char small[8];
  EXPECT_EQ(GetModuleFileNameA(nullptr, small, sizeof small), 8u);  // cut, still terminated
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
  EXPECT_EQ(small[7], '\0');
  EXPECT_EQ(GetModuleFileNameA(reinterpret_cast<HMODULE>(0x1000), path, sizeof path), 0u);
}

TEST(Modules, LoadingRunsStartUpWorkAndUnloadingCleansUp) {
  ScopedDebugOutputCapture capture;
  HMODULE module = LoadLibraryA(ModulePath("attaching").c_str());
  ASSERT_NE(module, nullptr) << GetLastError();
  EXPECT_EQ(capture.Text(), "static init\nDllMain attach\n");

  // The same library gives the same handle, counted: no second attach.
  EXPECT_EQ(LoadLibraryA(ModulePath("attaching").c_str()), module);
  EXPECT_EQ(GetModuleHandleA("kernel_test_attaching.so"), module);
  char path[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(module, path, sizeof path), 0u);
  EXPECT_EQ(std::string(path), ModulePath("attaching"));

  auto answer = ProcAs<int()>(GetProcAddress(module, "TestModuleAnswer"));
  ASSERT_NE(answer, nullptr);
  EXPECT_EQ(answer(), 42);
  auto own = ProcAs<const void*()>(GetProcAddress(module, "TestModuleOwnAddress"));
  EXPECT_EQ(quellor::win32::ModuleFromAddress(own()), module);
  EXPECT_EQ(GetProcAddress(module, "NoSuchExport"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
  // Exports of the libraries it depends on are not its own.
  EXPECT_EQ(GetProcAddress(module, "CreateFileA"), nullptr);

  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(capture.Text(), "static init\nDllMain attach\n");
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(capture.Text(), "static init\nDllMain attach\nDllMain detach\nstatic exit\n");
  EXPECT_FALSE(FreeLibrary(module));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(Modules, AFailingDllMainFailsTheLoad) {
  for (const char* variant : {"refusing", "throwing"}) {
    ScopedDebugOutputCapture capture;
    EXPECT_EQ(LoadLibraryA(ModulePath(variant).c_str()), nullptr) << variant;
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DLL_INIT_FAILED));
    EXPECT_EQ(GetModuleHandleA((std::string("kernel_test_") + variant + ".so").c_str()), nullptr)
        << "unloaded again";
    EXPECT_NE(capture.Text().find("static exit\n"), std::string::npos) << capture.Text();
  }
}

TEST(Modules, MissingAndBrokenLibraries) {
  EXPECT_EQ(LoadLibraryA((TestFolderPath() + "/absent.quell").c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
  quellor::testing::ScratchFolder folder{"win32_kernel"};
  std::string fake = folder / "fake.quell";
  FILE* out = std::fopen(fake.c_str(), "w");
  std::fputs("not a library", out);
  std::fclose(out);
  EXPECT_EQ(LoadLibraryA(fake.c_str()), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_BAD_EXE_FORMAT));
  EXPECT_EQ(LoadLibraryA(nullptr), nullptr);
  EXPECT_EQ(GetProcAddress(nullptr, "x"), nullptr);
  EXPECT_EQ(GetModuleHandleA("no-such-module.dll"), nullptr);
}

TEST(DebugOutput, GoesToStandardErrorOnlyWhenAsked) {
  quellor::testing::ScopedEnvironment off("QUELLOR_DEBUG", "0");
  ::testing::internal::CaptureStderr();
  OutputDebugStringA("quiet\n");
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
  quellor::testing::ScopedEnvironment on("QUELLOR_DEBUG", "1");
  ::testing::internal::CaptureStderr();
  OutputDebugStringA("Registering Plugin Class : ChromaKey\n");
  OutputDebugStringA(nullptr);
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "Registering Plugin Class : ChromaKey\n");
}

}  // namespace
