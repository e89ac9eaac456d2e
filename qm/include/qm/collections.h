// The maker's collection and string types that the toolkit's signatures name (CString,
// CStringArray, CDWordArray, CMapStringToString, CMapStringToOb), with the members the modules
// use. They cross module boundaries by reference: every module is built with the same compiler
// and allocates through the same C runtime DLL, so one module may fill what another owns.
//
// Maps keep their keys in ascending order (case-sensitive); GetStartPosition/GetNextAssoc walk
// them in that order. A POSITION stays valid until the map is changed.
#pragma once

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

using CString = std::string;

class CObject {
 public:
  virtual ~CObject() = default;
};

// An opaque place in a map's walk.
struct __POSITION;
typedef __POSITION* POSITION;

namespace qm {

// An ordered, growable array: MFC's CArray members that the modules call.
template <class T>
class Array {
 public:
  INT_PTR GetSize() const { return static_cast<INT_PTR>(items_.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return items_.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }

  const T& GetAt(INT_PTR index) const { return items_.at(static_cast<size_t>(index)); }
  T& ElementAt(INT_PTR index) { return items_.at(static_cast<size_t>(index)); }
  const T& operator[](INT_PTR index) const { return GetAt(index); }
  T& operator[](INT_PTR index) { return ElementAt(index); }
  void SetAt(INT_PTR index, const T& value) { ElementAt(index) = value; }
  // Grows the array with default values when index lies beyond its end.
  void SetAtGrow(INT_PTR index, const T& value) {
    if (index >= GetSize()) items_.resize(static_cast<size_t>(index) + 1);
    items_[static_cast<size_t>(index)] = value;
  }
  void SetSize(INT_PTR size) { items_.resize(size > 0 ? static_cast<size_t>(size) : 0); }

  INT_PTR Add(const T& value) {
    items_.push_back(value);
    return GetSize() - 1;
  }
  // Inserts count copies of value before index (at the end when index is the size).
  void InsertAt(INT_PTR index, const T& value, INT_PTR count = 1) {
    items_.insert(items_.begin() + std::min<size_t>(static_cast<size_t>(index), items_.size()),
                  static_cast<size_t>(count), value);
  }
  void RemoveAt(INT_PTR index, INT_PTR count = 1) {
    if (index < 0 || index >= GetSize() || count <= 0) return;
    const size_t end = std::min(items_.size(), static_cast<size_t>(index + count));
    items_.erase(items_.begin() + index, items_.begin() + end);
  }
  void RemoveAll() { items_.clear(); }
  void Copy(const Array& other) { items_ = other.items_; }
  INT_PTR Append(const Array& other) {
    const INT_PTR first = GetSize();
    items_.insert(items_.end(), other.items_.begin(), other.items_.end());
    return first;
  }

  // For the standard algorithms (sorting, searching).
  typename std::vector<T>::iterator begin() { return items_.begin(); }
  typename std::vector<T>::iterator end() { return items_.end(); }
  typename std::vector<T>::const_iterator begin() const { return items_.begin(); }
  typename std::vector<T>::const_iterator end() const { return items_.end(); }

 private:
  std::vector<T> items_;
};

// A map from text to V in ascending key order: MFC's CMap members that the modules call.
template <class V>
class StringMap {
 public:
  INT_PTR GetCount() const { return static_cast<INT_PTR>(entries_.size()); }
  INT_PTR GetSize() const { return GetCount(); }
  BOOL IsEmpty() const { return entries_.empty(); }

  BOOL Lookup(const CString& key, V& value) const {
    auto found = Find(key);
    if (found == entries_.end() || found->first != key) return FALSE;
    value = found->second;
    return TRUE;
  }
  void SetAt(const CString& key, const V& value) { (*this)[key] = value; }
  // The value of key, made (default) when the map lacks it.
  V& operator[](const CString& key) {
    auto found = Find(key);
    if (found == entries_.end() || found->first != key) found = entries_.insert(found, {key, V()});
    return found->second;
  }
  BOOL RemoveKey(const CString& key) {
    auto found = Find(key);
    if (found == entries_.end() || found->first != key) return FALSE;
    entries_.erase(found);
    return TRUE;
  }
  void RemoveAll() { entries_.clear(); }

  // Null for an empty map. The walk gives each entry once, in key order.
  POSITION GetStartPosition() const { return entries_.empty() ? nullptr : PositionOf(0); }
  void GetNextAssoc(POSITION& position, CString& key, V& value) const {
    const size_t index = reinterpret_cast<UINT_PTR>(position) - 1;
    key = entries_.at(index).first;
    value = entries_.at(index).second;
    position = index + 1 < entries_.size() ? PositionOf(index + 1) : nullptr;
  }

 private:
  using Entry = std::pair<CString, V>;
  static POSITION PositionOf(size_t index) { return reinterpret_cast<POSITION>(static_cast<UINT_PTR>(index + 1)); }
  typename std::vector<Entry>::iterator Find(const CString& key) {
    return std::lower_bound(entries_.begin(), entries_.end(), key,
                            [](const Entry& entry, const CString& wanted) { return entry.first < wanted; });
  }
  typename std::vector<Entry>::const_iterator Find(const CString& key) const {
    return std::lower_bound(entries_.begin(), entries_.end(), key,
                            [](const Entry& entry, const CString& wanted) { return entry.first < wanted; });
  }

  std::vector<Entry> entries_;
};

}  // namespace qm

// Named classes, so that headers can declare them ahead ("class CStringArray;").
class CStringArray : public qm::Array<CString> {};
class CDWordArray : public qm::Array<DWORD> {};
class CMapStringToString : public qm::StringMap<CString> {};
// The objects are the caller's: the map neither copies nor deletes them.
class CMapStringToOb : public qm::StringMap<CObject*> {};
