// Loads one deliverable shared library the way its host does and checks that
// every symbol it needs resolves.
#include <dlfcn.h>

#include <gtest/gtest.h>

TEST(Deliverable, LoadsWithAllSymbolsResolved) {
  void* library = dlopen(QUELLOR_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  EXPECT_EQ(dlclose(library), 0);
}
