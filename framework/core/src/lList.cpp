#include "qlxrapi/lList.h"

lList::~lList() {
  RemoveFromList();
}

// The node forgets its own links too: a node that kept them would, when
// removed again (or destroyed) after its former neighbours changed, link them
// past nodes inserted between them in the meantime.
void lList::RemoveFromList() {
  if (m_prev != nullptr) m_prev->m_next = m_next;
  if (m_next != nullptr) m_next->m_prev = m_prev;
  m_next = m_prev = nullptr;
}

bool lList::InsertAfter(lList* other) {
  RemoveFromList();
  if (other == nullptr || other == this) return false;
  m_next = other->m_next;
  if (m_next != nullptr) m_next->m_prev = this;
  other->m_next = this;
  m_prev = other;
  return true;
}

bool lList::InsertBefore(lList* other) {
  RemoveFromList();
  if (other == nullptr || other == this) return false;
  m_prev = other->m_prev;
  if (m_prev != nullptr) m_prev->m_next = this;
  other->m_prev = this;
  m_next = other;
  return true;
}

unsigned long lList::GetNoItems() {
  unsigned long count = 0;
  for (lList* node = this; node != nullptr; node = node->m_next) ++count;
  return count;
}

lList* lList::GetItem(unsigned long index) {
  lList* node = this;
  while (node != nullptr && index > 0) {
    node = node->m_next;
    --index;
  }
  return node;
}

lList* lList::FirstItem() {
  lList* node = this;
  while (node->m_prev != nullptr) node = node->m_prev;
  return node;
}

lList* lList::LastItem() {
  lList* node = this;
  while (node->m_next != nullptr) node = node->m_next;
  return node;
}
