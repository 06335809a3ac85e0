// list.h - singly linked list of plain records with a resting cursor.
//
// Rules and invariants:
//  - The chain from `first` always ends in exactly one empty tail node (no
//    record, no successor); every other node owns one heap record.
//  - The cursor stays where it was left between calls; the owners walk it
//    with GETFIRST / GETDATA_PTR / GETNEXT and rewind when they see the tail.
//  - The cursor is null only after RELEASE (or destruction); every operation
//    has a defined, harmless answer at the null cursor.
//  - GETNEXT must not be called with the cursor on the tail: stepping past it
//    is a null-pointer fatal error, never a silent walk off the chain.
//  - Truth values: -1 true, 0 false.
//  - Lists own their nodes and records and are never copied.
#pragma once

#include "platform/runtime_error.h"  // VP_CHECK_PTR: stepping past the tail is fatal

template <typename T>
struct Tlist_node {
  T* data = nullptr;             // owned record; null in the tail node
  Tlist_node* next = nullptr;    // null in the tail node
};

template <typename T>
class Tlist {
 public:
  using Tnode = Tlist_node<T>;

  Tlist() : cursor_(new Tnode()), first_(cursor_) {}
  ~Tlist() { RELEASE(); }
  Tlist(const Tlist&) = delete;
  Tlist& operator=(const Tlist&) = delete;

  // Frees every record and node; afterwards the cursor is null and the list
  // answers as a destroyed list does. The destructor runs this.
  void RELEASE() {
    Tnode* node = first_;
    while (node != nullptr) {
      Tnode* next = node->next;
      delete node->data;
      delete node;
      node = next;
    }
    first_ = nullptr;
    cursor_ = nullptr;
  }

  // Appends a copy of `value` in the tail node and rests the cursor on it.
  void ADD(const T& value) {
    T* record = ADD();
    if (cursor_ != nullptr) *record = value;
    else delete record;  // not linked: nobody else would free it
  }

  // Appends a zero-filled record and returns it for the caller to fill. With
  // a null cursor the record is not linked and the caller owns it.
  T* ADD() {
    T* record = new T();
    if (cursor_ == nullptr) return record;
    Tnode* tail = GETLAST();
    tail->next = new Tnode();
    tail->data = record;
    cursor_ = tail;
    return record;
  }

  Tnode* GETFIRST() {
    if (cursor_ == nullptr) return nullptr;
    cursor_ = first_;
    return cursor_;
  }

  // Moves onto the successor; null when it is the tail (or at a null cursor).
  Tnode* GETNEXT() {
    if (cursor_ == nullptr) return nullptr;
    cursor_ = cursor_->next;
    VP_CHECK_PTR(cursor_, "Tlist", "GETNEXT");
    return cursor_->data != nullptr ? cursor_ : nullptr;
  }

  // Follows the chain from the cursor (not from `first`); the cursor stays.
  Tnode* GETLAST() const {
    if (cursor_ == nullptr) return nullptr;
    Tnode* node = cursor_;
    while (node->next != nullptr) node = node->next;
    return node;
  }

  T* GETDATA_PTR() const { return cursor_ != nullptr ? cursor_->data : nullptr; }

  T GETDATA() const {
    const T* record = GETDATA_PTR();
    return record != nullptr ? *record : T();
  }

  Tnode* GETNODE() const { return cursor_; }
  Tnode* GETLIST() const { return cursor_; }

  int EMPTY() const { return cursor_ == nullptr ? -1 : 0; }

 private:
  Tnode* cursor_;
  Tnode* first_;
};
