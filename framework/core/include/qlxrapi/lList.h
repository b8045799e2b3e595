// lList: a node of an intrusive doubly linked chain.
#pragma once

#include <quellor/Export.h>

class QUELLOR_EXPORT lList {
 public:
  lList() = default;
  // Unlinks the node from its chain. Not virtual: the node is the two links
  // and nothing else.
  ~lList();

  // A copy would point into a chain it is not part of.
  lList(const lList&) = delete;
  lList& operator=(const lList&) = delete;

  // Links the neighbours to each other; this node is left alone, with no
  // links.
  void RemoveFromList();
  // Unlinks this node, then places it directly after, respectively before,
  // other. A null other, or this node itself, leaves the node unlinked and
  // returns false.
  bool InsertAfter(lList* other);
  bool InsertBefore(lList* other);

  // Nodes from this one to the end of the chain, this one included.
  unsigned long GetNoItems();
  // The node index steps along next (0 is this one); null past the end.
  lList* GetItem(unsigned long index);
  lList* FirstItem();
  lList* LastItem();

  lList* GetNext() const { return m_next; }
  lList* GetPrev() const { return m_prev; }

 private:
  lList* m_next = nullptr;
  lList* m_prev = nullptr;
};
