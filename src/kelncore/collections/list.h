// list_dyn_t: a circular doubly linked list through a sentinel, whose nodes
// come from a pool of chunks (nodes-per-chunk nodes each). Freed nodes go back
// to the pool; chunks return to the system only when the list is destroyed.
#pragma once

#include <cstdint>
#include <new>

namespace keln {

template <typename T>
class list_iterators_t {
 public:
  virtual ~list_iterators_t() = default;
};

struct list_link_t {
  list_link_t* next;
  list_link_t* previous;
};

template <typename T>
struct list_node_t : list_link_t {
  T value;
};

// The list algorithms over an abstract node source.
template <typename T>
class list_t : protected list_iterators_t<T> {
 public:
  using node_t = list_node_t<T>;

  class iterator {
   public:
    explicit iterator(list_link_t* link) : m_link(link) {}
    T& operator*() const { return static_cast<node_t*>(m_link)->value; }
    T* operator->() const { return &static_cast<node_t*>(m_link)->value; }
    iterator& operator++() {
      m_link = m_link->next;
      return *this;
    }
    bool operator!=(const iterator& other) const { return m_link != other.m_link; }
    list_link_t* link() const { return m_link; }

   private:
    list_link_t* m_link;
  };

  list_t() { m_sentinel.next = m_sentinel.previous = &m_sentinel; }
  list_t(const list_t&) = delete;
  list_t& operator=(const list_t&) = delete;
  ~list_t() override = default;

  std::uint32_t size() const { return m_count; }
  iterator begin() { return iterator(m_sentinel.next); }
  iterator end() { return iterator(&m_sentinel); }

  // Inserts a copy of value before position; null when no node could be had.
  node_t* insert(iterator position, const T& value) {
    node_t* node = alloc_node();
    if (!node) return nullptr;
    new (&node->value) T(value);
    list_link_t* after = position.link();
    node->next = after;
    node->previous = after->previous;
    after->previous->next = node;
    after->previous = node;
    ++m_count;
    return node;
  }
  node_t* push_back(const T& value) { return insert(end(), value); }

  // Removes every value, first to last; the nodes go back to the source.
  void clear() {
    while (m_sentinel.next != &m_sentinel) {
      node_t* node = static_cast<node_t*>(m_sentinel.next);
      --m_count;
      node->next->previous = &m_sentinel;
      m_sentinel.next = node->next;
      node->value.~T();
      free_node(node);
    }
  }

 protected:
  virtual node_t* alloc_node() = 0;
  virtual void free_node(node_t* node) = 0;

 private:
  std::uint32_t m_count = 0;
  list_link_t m_sentinel;
};

template <typename T>
class list_dyn_t : public list_t<T> {
  using node_t = typename list_t<T>::node_t;

 public:
  explicit list_dyn_t(std::uint32_t nodes_per_chunk) : m_nodes_per_chunk(nodes_per_chunk ? nodes_per_chunk : 1) {}
  ~list_dyn_t() override {
    this->clear();
    while (m_chunks) {
      chunk_t* next = m_chunks->next;
      ::operator delete(m_chunks);
      m_chunks = next;
    }
  }

  // Number of chunks taken from the system so far.
  std::uint32_t chunk_count() const {
    std::uint32_t count = 0;
    for (const chunk_t* chunk = m_chunks; chunk; chunk = chunk->next) ++count;
    return count;
  }

 protected:
  node_t* alloc_node() override {
    if (!m_free) {
      void* memory = ::operator new(sizeof(chunk_t) + sizeof(node_t) * m_nodes_per_chunk);
      chunk_t* chunk = static_cast<chunk_t*>(memory);
      chunk->next = m_chunks;
      m_chunks = chunk;
      node_t* nodes = reinterpret_cast<node_t*>(chunk + 1);
      for (std::uint32_t i = m_nodes_per_chunk; i-- > 0;) {
        nodes[i].next = m_free;
        m_free = &nodes[i];
      }
    }
    node_t* node = static_cast<node_t*>(m_free);
    m_free = m_free->next;
    return node;
  }
  void free_node(node_t* node) override {
    node->next = m_free;
    m_free = node;
  }

 private:
  // A chunk: one link word followed by the nodes (kept aligned for any T).
  struct alignas(alignof(node_t)) chunk_t {
    chunk_t* next;
  };

  std::uint32_t m_nodes_per_chunk;
  list_link_t* m_free = nullptr;
  chunk_t* m_chunks = nullptr;
};

}  // namespace keln
