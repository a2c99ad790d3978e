#pragma once
// Components: objects that own other components and free them with
// themselves, known by a name among their owner's components.
#include <string_view>
#include <vector>

#include "rtl/Exception.h"
#include "rtl/Method.h"
#include "rtl/Object.h"
#include "rtl/UnicodeString.h"
#include "vcl/Persistent.h"

using TNotifyEvent = TMethodOf<void(TObject* Sender)>;

// Raised for an index outside a list.
class EListError : public Exception {
 public:
  using Exception::Exception;
};
// Raised for a bad component name or a name taken by a sibling.
class EComponentError : public Exception {
 public:
  using Exception::Exception;
};
// Raised for an operation the object's state does not allow.
class EInvalidOperation : public Exception {
 public:
  using Exception::Exception;
};

class TComponent : public TPersistent {
 public:
  // AOwner may be null; otherwise the owner frees this component with itself.
  explicit TComponent(TComponent* AOwner);
  // Frees the owned components (last first), then leaves the owner.
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const noexcept { return FOwner; }
  const UnicodeString& Name() const noexcept { return FName; }
  // An identifier or empty; raises EComponentError for anything else or for
  // a name another component of the same owner already has.
  void SetName(const UnicodeString& AName);

  int ComponentCount() const noexcept { return static_cast<int>(FComponents.size()); }
  // Raises EListError when Index is out of range.
  TComponent* Components(int Index) const;
  // Case-insensitive; null for an empty name or no match.
  TComponent* FindComponent(std::u16string_view AName) const;
  // Takes AComponent over from its current owner.
  void InsertComponent(TComponent* AComponent);
  // Gives AComponent up; it is then owned by nobody.
  void RemoveComponent(TComponent* AComponent);

  // True once destruction has begun: the object no longer reacts to its
  // parts going away.
  bool Destroying() const noexcept { return FDestroying; }
  void Free() { delete this; }

 protected:
  // Called at the start of every destructor chain that wants the flag set
  // before its own teardown (derived destructors run before ours).
  void BeginDestroy() noexcept { FDestroying = true; }

 private:
  TComponent* FOwner = nullptr;
  UnicodeString FName;
  std::vector<TComponent*> FComponents;
  bool FDestroying = false;
};

// Sets p to null first, then frees what it pointed at; null is fine.
template <class T>
void FreeAndNil(T*& p) {
  T* obj = p;
  p = nullptr;
  delete obj;
}

// A valid component name: a letter or underscore, then letters, digits or
// underscores (ASCII).
bool IsValidIdent(std::u16string_view S) noexcept;
