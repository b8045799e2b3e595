// The framework's lock: a recursive critical section and its scoped holder.
#pragma once

#include <quellor/Export.h>

#include <windows.h>

// A recursive lock: the thread that holds it may take it again, and must
// release it as many times as it took it.
class QUELLOR_EXPORT Variable_Block {
 public:
  Variable_Block();
  ~Variable_Block();

  // A copy would duplicate an operating-system lock.
  Variable_Block(const Variable_Block&) = delete;
  Variable_Block& operator=(const Variable_Block&) = delete;

  void Block();
  void UnBlock();

 private:
  CRITICAL_SECTION m_section;
};

// Holds a Variable_Block for the extent of a scope. A null block is allowed
// and holds nothing.
class QUELLOR_EXPORT FunctionBlock {
 public:
  explicit FunctionBlock(Variable_Block* block);
  explicit FunctionBlock(Variable_Block& block);
  ~FunctionBlock();

  FunctionBlock(const FunctionBlock&) = delete;
  FunctionBlock& operator=(const FunctionBlock&) = delete;

 private:
  Variable_Block* m_block;
};
