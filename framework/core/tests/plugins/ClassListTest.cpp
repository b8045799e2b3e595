// The class list hosts read: names in registry order, removals and repeats
// reflected, the visitor free to stop or to change the registry, and the C
// creation entry.
#include <qlxrapi/ClassList.h>
#include <qlxrapi/PluginRegistration.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Matte {};
class Wipe {};
class Fader {};
ORVANE_PLUGIN_CLASS(Matte)
ORVANE_PLUGIN_CLASS(Wipe)
ORVANE_PLUGIN_CLASS(Fader)

const PluginClassEntry kClasses[] = {ORVANE_PLUGIN_ENTRY(Matte), ORVANE_PLUGIN_ENTRY(Wipe),
                                     ORVANE_PLUGIN_ENTRY(Fader)};

std::vector<std::string> Listed() {
  std::vector<std::string> names;
  Orvane_EnumerateClasses(
      [](const char* name, int kind, void* context) {
        auto* out = static_cast<std::vector<std::string>*>(context);
        out->push_back(std::string(name) + (kind == ORVANE_CLASS_CONTROL ? "*" : ""));
        return 1;
      },
      &names);
  return names;
}

using Names = std::vector<std::string>;

class ClassList : public ::testing::Test {
 protected:
  void TearDown() override {
    for (const PluginClassEntry& entry : kClasses) {
      for (int i = 0; i < 4; ++i) Orvane_UnRegisterClass(entry.factory);
    }
  }
};

TEST_F(ClassList, NamesInRegistryOrderLessRemovalsWithTheirKind) {
  const Names before = Listed();
  RegisterPluginClasses(kClasses);
  Orvane_RegisterNamedClass("Fader", &Fader_PluginFactory, ORVANE_CLASS_CONTROL);
  Orvane_RegisterClass(&Matte_PluginFactory);  // bare: answers, but has no name to list

  Names expected = before;
  for (const char* name : {"Matte", "Wipe", "Fader", "Fader*"}) expected.push_back(name);
  EXPECT_EQ(Listed(), expected);
  EXPECT_EQ(Orvane_EnumerateClasses(nullptr, nullptr), expected.size());

  // The first entry goes and the last moves into its place: the bare Matte
  // takes Matte's place and is not listed.
  Orvane_UnRegisterClass(&Matte_PluginFactory);
  expected = before;
  for (const char* name : {"Wipe", "Fader", "Fader*"}) expected.push_back(name);
  EXPECT_EQ(Listed(), expected);

  // Removal goes by factory: the first Fader entry is the control one now.
  UnRegisterPluginClasses(kClasses);
  expected = before;
  expected.push_back("Fader");
  EXPECT_EQ(Listed(), expected);
}

TEST_F(ClassList, TheVisitorMayStopOrRegisterAndNamesAreCopies) {
  std::string name = "Wipe";
  Orvane_RegisterNamedClass(name.c_str(), &Wipe_PluginFactory, ORVANE_CLASS_PLAIN);
  Orvane_RegisterNamedClass("Matte", &Matte_PluginFactory, ORVANE_CLASS_PLAIN);
  name = "XXXX";  // the registry keeps its own copy
  EXPECT_EQ(Listed().back(), "Matte");
  EXPECT_EQ(Listed()[Listed().size() - 2], "Wipe");

  // Stopping at the first name visits one; registering from the visitor
  // neither deadlocks nor changes the walk under way.
  unsigned int visited = Orvane_EnumerateClasses(
      [](const char*, int, void*) {
        Orvane_RegisterNamedClass("Fader", &Fader_PluginFactory, ORVANE_CLASS_PLAIN);
        return 0;
      },
      nullptr);
  EXPECT_EQ(visited, 1u);
  EXPECT_EQ(Listed().back(), "Fader");
}

TEST_F(ClassList, NewByNameCreatesByExactNameOnly) {
  RegisterPluginClasses(kClasses);
  PluginClass* wipe = Orvane_NewByName("Wipe");
  EXPECT_NE(dynamic_cast<Wipe*>(wipe), nullptr);
  delete wipe;
  EXPECT_EQ(Orvane_NewByName("wipe"), nullptr);
  EXPECT_EQ(Orvane_NewByName(""), nullptr);
  EXPECT_EQ(Orvane_NewByName(nullptr), nullptr);
}

}  // namespace
