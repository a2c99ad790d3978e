#include "vcl/StringList.h"

#include "rtl/Format.h"

void CheckListIndex(int Index, int Count, bool AllowEnd) {
  if (Index < 0 || Index > Count || (Index == Count && !AllowEnd))
    throw EListError(Format(u"List index out of bounds (%d)", {Index}));
}

void TStrings::Put(int Index, const UnicodeString& S) {
  CheckListIndex(Index, Count());
  Delete(Index);
  Insert(Index, S);
}

int TStrings::Add(const UnicodeString& S) {
  const int index = Count();
  Insert(index, S);
  return index;
}

void TStrings::AddStrings(const TStrings& Source) {
  const int n = Source.Count();
  for (int i = 0; i < n; ++i) Add(Source.Get(i));
}

int TStrings::IndexOf(std::u16string_view S) const {
  const int n = Count();
  for (int i = 0; i < n; ++i)
    if (SameText(Get(i).view(), S)) return i;
  return -1;
}

UnicodeString TStrings::Text() const {
  UnicodeString result;
  const int n = Count();
  for (int i = 0; i < n; ++i) {
    result += Get(i).view();
    result += u"\r\n";
  }
  return result;
}

void TStrings::SetText(std::u16string_view Value) {
  Clear();
  size_t start = 0;
  while (start < Value.size()) {
    size_t end = Value.find_first_of(u"\r\n", start);
    if (end == std::u16string_view::npos) end = Value.size();
    Add(UnicodeString(Value.substr(start, end - start)));
    start = end;
    if (start < Value.size() && Value[start] == u'\r') ++start;
    if (start < Value.size() && Value[start] == u'\n') ++start;
  }
}

void TStrings::Assign(const TPersistent& Source) {
  const auto* src = dynamic_cast<const TStrings*>(&Source);
  if (!src) {
    TPersistent::Assign(Source);
    return;
  }
  if (src == this) return;
  Clear();
  AddStrings(*src);
}

UnicodeString TStringList::Get(int Index) const {
  CheckListIndex(Index, Count());
  return FList[static_cast<size_t>(Index)];
}

void TStringList::Put(int Index, const UnicodeString& S) {
  CheckListIndex(Index, Count());
  FList[static_cast<size_t>(Index)] = S;
}

void TStringList::Insert(int Index, const UnicodeString& S) {
  CheckListIndex(Index, Count(), true);
  FList.insert(FList.begin() + Index, S);
}

void TStringList::Delete(int Index) {
  CheckListIndex(Index, Count());
  FList.erase(FList.begin() + Index);
}
