// Places a Mendlet of 1,000 files of 100 KB (100 MB) with Shelver's copy core and copies the
// same list with a bare CopyFileA loop, in the same run, several rounds each; prints the best
// times and the ratio Shelver / CopyFileA loop.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "comsupport/unique_handle.h"
#include "copy_files.h"

namespace {

const int kFiles = 1000;
const DWORD kFileBytes = 100 * 1000;
const int kRounds = 5;

class NoMessages : public placement::UserMessages {
 public:
  void Show(const std::string& text, const std::string&, UINT) override {
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
    ++count;
  }
  int count = 0;
};

double Seconds() {
  LARGE_INTEGER frequency, now;
  ::QueryPerformanceFrequency(&frequency);
  ::QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string FileName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "file%04d.bin", index);
  return name;
}

bool WriteBytes(const std::string& path, const std::vector<char>& bytes) {
  comsupport::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

void RemoveFiles(const std::string& directory) {
  for (int i = 0; i < kFiles; ++i) ::DeleteFileA((directory + "\\" + FileName(i)).c_str());
  ::RemoveDirectoryA(directory.c_str());
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  if (!::GetTempPathA(MAX_PATH, temp)) return 2;
  const std::string root = std::string(temp) + "placement_bench_" + std::to_string(::GetCurrentProcessId());
  const std::string vessik = root + "\\vessik\\";
  const std::string shelver_target = root + "\\shelver";
  const std::string plain_target = root + "\\plain";
  const std::string no_replace_target = root + "\\no-replace";
  ::CreateDirectoryA(root.c_str(), nullptr);
  ::CreateDirectoryA(vessik.c_str(), nullptr);

  std::vector<char> bytes(kFileBytes);
  for (DWORD i = 0; i < kFileBytes; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  std::string list;
  std::vector<std::string> names;
  for (int i = 0; i < kFiles; ++i) {
    names.push_back(FileName(i));
    list += names.back() + "\n";
    if (!WriteBytes(vessik + names.back(), bytes)) {
      std::fprintf(stderr, "cannot write the Mendlet in %s\n", vessik.c_str());
      return 2;
    }
  }
  WriteBytes(vessik + "MyMendlet.dat", std::vector<char>(list.begin(), list.end()));

  NoMessages messages;
  double best_shelver = 1e9, best_plain = 1e9, best_no_replace = 1e9;
  bool ok = true;
  for (int round = 0; round < kRounds && ok; ++round) {
    // Fresh destinations each round, so both copy into empty directories.
    RemoveFiles(shelver_target);
    RemoveFiles(plain_target);
    RemoveFiles(no_replace_target);
    ::CreateDirectoryA(shelver_target.c_str(), nullptr);
    ::CreateDirectoryA(plain_target.c_str(), nullptr);
    ::CreateDirectoryA(no_replace_target.c_str(), nullptr);

    // Take turns to go first, so none always meets the colder caches.
    for (int turn = 0; turn < 3; ++turn) {
      const int which = (turn + round) % 3;
      double start = Seconds();
      if (which == 0) {
        ok = ok && placement::CopyListedFiles(vessik, shelver_target, messages) == placement::CopyResult::kCompleted;
        best_shelver = std::min(best_shelver, Seconds() - start);
      } else {
        // The minimal loop replaces like Shelver does; its no-replace variant shows what the
        // copy call alone costs.
        const std::string& target = which == 1 ? plain_target : no_replace_target;
        for (const std::string& name : names) {
          ok = ok && ::CopyFileA((vessik + "\\" + name).c_str(), (target + "\\" + name).c_str(), which == 2);
        }
        double& best = which == 1 ? best_plain : best_no_replace;
        best = std::min(best, Seconds() - start);
      }
    }
  }

  RemoveFiles(shelver_target);
  RemoveFiles(plain_target);
  RemoveFiles(no_replace_target);
  for (const std::string& name : names) ::DeleteFileA((vessik + name).c_str());
  ::DeleteFileA((vessik + "MyMendlet.dat").c_str());
  ::RemoveDirectoryA(vessik.c_str());
  ::RemoveDirectoryA(root.c_str());

  if (!ok || messages.count) {
    std::fprintf(stderr, "a copy failed\n");
    return 1;
  }
  std::printf("bench placement_copy_shelver %.1f ms\n", best_shelver * 1000.0);
  std::printf("bench placement_copy_copyfile %.1f ms\n", best_plain * 1000.0);
  std::printf("bench placement_copy_copyfile_no_replace %.1f ms\n", best_no_replace * 1000.0);
  std::printf("bench placement_copy_ratio %.3f x\n", best_shelver / best_plain);
  return 0;
}
