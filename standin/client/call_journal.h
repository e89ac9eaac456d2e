// Every client call, as "Object[identity].member(arguments)", and the failures a test asked
// for. A failure is keyed "Object.member" (any identity) or "Object[identity].member".
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace standin {

class CallJournal {
 public:
  // Records the call; returns the failure injected for it, or S_OK.
  HRESULT Enter(const std::string& kind, const std::string& identity, const char* member,
                const std::string& arguments);
  std::string Lines() const;
  void Clear() { lines_.clear(); }
  // times 0: every call fails; else only the next times calls.
  void Fail(const std::string& member, HRESULT hr, long times);
  void ClearFailures() { failures_.clear(); }

 private:
  struct Failure {
    HRESULT hr;
    long left;  // 0: for ever
  };
  HRESULT Injected(const std::string& key);

  std::vector<std::string> lines_;
  std::map<std::string, Failure> failures_;
};

// Argument text for the journal.
std::string ArgumentText(long value);
std::string ArgumentText(short value);  // VARIANT_BOOL
std::string ArgumentText(const wchar_t* value);  // BSTR
std::string ArgumentText(const VARIANT& value);
std::string ArgumentText(const IUnknown* value);
template <class Enum, class = std::enable_if_t<std::is_enum_v<Enum>>>
std::string ArgumentText(Enum value) {
  return ArgumentText(static_cast<long>(value));
}

inline std::string Arguments() { return std::string(); }
template <class First, class... Rest>
std::string Arguments(const First& first, const Rest&... rest) {
  std::string text = ArgumentText(first);
  ((text += ", " + ArgumentText(rest)), ...);
  return text;
}

}  // namespace standin
