// Graphs that must not bring the renderer down: connections that would close
// a cycle anywhere in a graph are refused, and a cycle or a chain too deep
// built by a node that does not check ends the render with a failure
// instead of running the stack out.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "VideoTestFields.h"
#include "videoproc/ChromaKey.h"
#include "videoproc/LumaEffect.h"
#include "videoproc/VideoGradient.h"

namespace {

using quellor::videoproc::testing::TestStream;

// A node from elsewhere: it passes its one input through and takes any
// connection, a cycle included.
class PassThrough : public DataStream_Processor {
 public:
  const char* DataStream_StreamsIn(unsigned long index) override {
    return index == 0 ? "In" : nullptr;
  }
  const char* DataStream_StreamsOut() override { return "Out"; }
  DataStream_Processor* GetConnection_In(unsigned long index) override {
    return index == 0 ? m_input : nullptr;
  }
  bool SetConnection_In(DataStream_Processor* node, unsigned long index) override {
    if (index != 0) return false;
    m_input = node;
    return true;
  }
  bool Render(DataStream* stream, DataStream_Processor*, bool* abort) override {
    return m_input != nullptr && m_input->Render(stream, this, abort);
  }
  double GetPreferredLength() override {
    return m_input != nullptr ? m_input->GetPreferredLength() : -1.0;
  }

 private:
  DataStream_Processor* m_input = nullptr;
};

TEST(GraphCycles, ARingThroughEitherInputOfTheLumaEffectIsRefused) {
  VideoGradient source;
  LumaEffect effect;
  ChromaKey first, second;
  ASSERT_TRUE(effect.SetConnection_In(&source, 0));
  ASSERT_TRUE(first.SetConnection_In(&effect, 0));
  ASSERT_TRUE(second.SetConnection_In(&first, 0));
  EXPECT_FALSE(effect.SetConnection_In(&second, 1)) << "effect <- second <- first <- effect";
  EXPECT_FALSE(effect.SetConnection_In(&second, 0));
  EXPECT_EQ(effect.GetConnection_In(0), &source);
  EXPECT_EQ(effect.GetConnection_In(1), nullptr);
  // The same node on both inputs is no cycle.
  VideoGradient both;
  EXPECT_TRUE(effect.SetConnection_In(&both, 0));
  EXPECT_TRUE(effect.SetConnection_In(&both, 1));
}

TEST(GraphCycles, ACycleThroughAForeignNodeFailsTheRenderInsteadOfOverflowing) {
  ChromaKey key;
  PassThrough foreign;
  ASSERT_TRUE(key.SetConnection_In(&foreign, 0));
  ASSERT_TRUE(foreign.SetConnection_In(&key, 0));  // the foreign node does not look
  TestStream fields(2, 4, 2, VideoUYVY_Word(128, 16, 128, 16));
  bool abort = false;
  EXPECT_FALSE(key.Render(&fields.stream, nullptr, &abort));
  EXPECT_EQ(key.GetPreferredLength(), -1.0);

  LumaEffect effect;
  VideoGradient luma;
  ASSERT_TRUE(effect.SetConnection_In(&luma, 0));
  ASSERT_TRUE(effect.SetConnection_In(&foreign, 1));
  ASSERT_TRUE(foreign.SetConnection_In(&effect, 0));
  effect.Render(&fields.stream, nullptr, &abort);  // returns, whatever it drew
  EXPECT_EQ(effect.GetPreferredLength(), -1.0);
}

TEST(GraphCycles, LongChainsRenderAndTooDeepOnesFail) {
  VideoGradient source;
  source.SetFlatColour(16, 128, 128);  // far from the key colour: kept as is
  auto chain = [&](int length) {
    std::vector<std::unique_ptr<ChromaKey>> keys;
    DataStream_Processor* previous = &source;
    for (int i = 0; i < length; ++i) {
      keys.push_back(std::make_unique<ChromaKey>());
      keys.back()->SetKeyMode(ChromaKeyMode_Dark);
      keys.back()->SetToleranceValues(0, 0, 255);  // keys nothing
      EXPECT_TRUE(keys.back()->SetConnection_In(previous, 0));
      previous = keys.back().get();
    }
    return keys;
  };
  TestStream fields(2, 4, 2, 0);
  bool abort = false;
  auto shallow = chain(100);
  EXPECT_TRUE(shallow.back()->Render(&fields.stream, nullptr, &abort));
  EXPECT_EQ(fields.Words(0)[0], VideoUYVY_Word(128, 16, 128, 16));
  auto deep = chain(520);  // a few past the limit of 512
  EXPECT_FALSE(deep.back()->Render(&fields.stream, nullptr, &abort));
}

}  // namespace
