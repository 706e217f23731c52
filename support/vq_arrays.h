#pragma once
// Arrays of one to three dimensions over a given element type. Elements are
// made on demand with their construct flag set; the runtime owns them.
#include "vq_array_bases.h"

// One dimension, integer index values.
template <class T, class U>
class VQ_ARRAY_I : public VQ_BASE_I {
 public:
  VQ_ARRAY_I() {}
  VQ_ARRAY_I(const VQ_ARRAY_I& other) : VQ_BASE_I(other) {}
  ~VQ_ARRAY_I() override {}
  VQ_ARRAY_I& operator=(const VQ_ARRAY_I& other) {
    VQ_BASE_I::operator=(other);
    return *this;
  }
  VQ_ARRAY_I& operator*() { return *this; }
  VQ_ARRAY_I& v() { return *this; }
  VQ_Type* NewElement() override;
  U& operator()(int index) { return static_cast<U&>(*Find(index)); }
};

// One dimension, string index values.
template <class T, class U>
class VQ_ARRAY_S : public VQ_BASE_S {
 public:
  VQ_ARRAY_S() {}
  VQ_ARRAY_S(const VQ_ARRAY_S& other) : VQ_BASE_S(other) {}
  ~VQ_ARRAY_S() override {}
  VQ_ARRAY_S& operator=(const VQ_ARRAY_S& other) {
    VQ_BASE_S::operator=(other);
    return *this;
  }
  VQ_ARRAY_S& operator*() { return *this; }
  VQ_ARRAY_S& v() { return *this; }
  VQ_Type* NewElement() override;
  U& operator()(const char* index) { return static_cast<U&>(*Find(index)); }
};

// Two integer dimensions.
template <class T, class U>
class VQ_ARRAY_II : public VQ_BASE_II {
 public:
  VQ_ARRAY_II() {}
  VQ_ARRAY_II(const VQ_ARRAY_II& other) : VQ_BASE_II(other) {}
  ~VQ_ARRAY_II() override {}
  VQ_ARRAY_II& operator=(const VQ_ARRAY_II& other) {
    VQ_BASE_II::operator=(other);
    return *this;
  }
  VQ_ARRAY_II& operator*() { return *this; }
  VQ_ARRAY_II& v() { return *this; }
  VQ_Type* NewElement() override;
  U& operator()(int i, int j) { return static_cast<U&>(*Find(i, j)); }
};

// Three integer dimensions.
template <class T, class U>
class VQ_ARRAY_III : public VQ_BASE_III {
 public:
  VQ_ARRAY_III() {}
  VQ_ARRAY_III(const VQ_ARRAY_III& other) : VQ_BASE_III(other) {}
  ~VQ_ARRAY_III() override {}
  VQ_ARRAY_III& operator=(const VQ_ARRAY_III& other) {
    VQ_BASE_III::operator=(other);
    return *this;
  }
  VQ_ARRAY_III& operator*() { return *this; }
  VQ_ARRAY_III& v() { return *this; }
  VQ_Type* NewElement() override;
  U& operator()(int i, int j, int k) { return static_cast<U&>(*Find(i, j, k)); }
};
