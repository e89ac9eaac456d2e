// Shows that the platform works: a PE32 program that reports where it runs and creates,
// uses and releases a system COM object (the ATL registrar is not needed here: a VARIANT
// conversion through oleaut32 suffices).
#include <windows.h>
#include <windows.h>
#include <oleauto.h>

#include <cstdio>

int main() {
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  ::GetVersionExA(&version);
#pragma GCC diagnostic pop
  std::printf("running %s on Windows %lu.%lu, %u-bit\n", path, version.dwMajorVersion,
              version.dwMinorVersion, static_cast<unsigned>(sizeof(void*) * 8));

  VARIANT number;
  ::VariantInit(&number);
  number.vt = VT_I4;
  number.lVal = 12000000;
  VARIANT text;
  ::VariantInit(&text);
  HRESULT hr = ::VariantChangeType(&text, &number, 0, VT_BSTR);
  if (FAILED(hr)) {
    std::printf("oleaut32 conversion failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    return 1;
  }
  std::printf("oleaut32 converted %ld to \"%ls\"\n", number.lVal, text.bstrVal);
  ::VariantClear(&text);
  return 0;
}
