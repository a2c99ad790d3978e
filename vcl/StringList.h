#pragma once
// Lists of strings: the abstract TStrings that controls expose (a list
// box's Items) and the plain TStringList.
#include <string_view>
#include <vector>

#include "rtl/UnicodeString.h"
#include "vcl/Classes.h"

class TStrings : public TPersistent {
 public:
  virtual int Count() const = 0;
  // EListError when Index is out of range.
  virtual UnicodeString Get(int Index) const = 0;
  // Replaces entry Index; by default by deleting and inserting.
  virtual void Put(int Index, const UnicodeString& S);
  // Index in 0..Count; EListError otherwise.
  virtual void Insert(int Index, const UnicodeString& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;

  UnicodeString Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const UnicodeString& S) { Put(Index, S); }
  // Appends S and answers its index.
  int Add(const UnicodeString& S);
  void AddStrings(const TStrings& Source);
  // First entry equal to S ignoring case; -1 when there is none.
  int IndexOf(std::u16string_view S) const;
  // The entries, each followed by CR LF.
  UnicodeString Text() const;
  // Replaces the entries by the lines of Value (split at CR LF, LF or CR; a
  // final line break makes no empty entry).
  void SetText(std::u16string_view Value);
  // From another TStrings: a copy of its entries.
  void Assign(const TPersistent& Source) override;
};

class TStringList : public TStrings {
 public:
  int Count() const override { return static_cast<int>(FList.size()); }
  UnicodeString Get(int Index) const override;
  void Put(int Index, const UnicodeString& S) override;
  void Insert(int Index, const UnicodeString& S) override;
  void Delete(int Index) override;
  void Clear() override { FList.clear(); }

 private:
  std::vector<UnicodeString> FList;
};

// Raises EListError for Index outside 0..Count-1 (or 0..Count when
// AllowEnd): the check every list implementation shares.
void CheckListIndex(int Index, int Count, bool AllowEnd = false);
