// Entry point of every test executable: an OLE apartment for the main thread, then the tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <ole2.h>

#include <cstdio>

int main(int argc, char** argv) {
  ::testing::InitGoogleMock(&argc, argv);
  HRESULT hr = ::OleInitialize(nullptr);
  if (FAILED(hr)) {
    std::fprintf(stderr, "OleInitialize failed: 0x%08lX\n", static_cast<unsigned long>(hr));
    return 2;
  }
  int result = RUN_ALL_TESTS();
  ::OleUninitialize();
  return result;
}
