// Fetches an address as a page's image would: an asynchronous bind to storage through URL
// monikers (the only way res:// addresses deliver their data), pumping messages until the bind
// stops or the time runs out.
#pragma once

#include <windows.h>

#include <string>

namespace standin {

struct FetchResult {
  HRESULT hr = E_FAIL;  // the bind's end
  std::string data;
};

FetchResult FetchUrl(const std::wstring& url, DWORD timeout_ms);

}  // namespace standin
