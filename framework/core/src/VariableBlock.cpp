#include "qlxrapi/VariableBlock.h"

Variable_Block::Variable_Block() {
  InitializeCriticalSection(&m_section);
}

Variable_Block::~Variable_Block() {
  DeleteCriticalSection(&m_section);
}

void Variable_Block::Block() {
  EnterCriticalSection(&m_section);
}

void Variable_Block::UnBlock() {
  LeaveCriticalSection(&m_section);
}

FunctionBlock::FunctionBlock(Variable_Block* block) : m_block(block) {
  if (m_block != nullptr) m_block->Block();
}

FunctionBlock::FunctionBlock(Variable_Block& block) : m_block(&block) {
  m_block->Block();
}

FunctionBlock::~FunctionBlock() {
  if (m_block != nullptr) m_block->UnBlock();
}
