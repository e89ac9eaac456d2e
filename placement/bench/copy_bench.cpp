// Shelver's copy core against a bare CopyFileA loop over the same list, in the same run, best of
// several rounds each, turns alternating:
//   placement_copy_new      1,000 files of 100 KB (100 MB) into an empty repository, against a
//                           loop that does not replace (it does the least a placement must do);
//   placement_copy_replace  the same files over an existing, older repository (every file
//                           replaced), against a replacing loop;
//   placement_copy_10000    10,000 files of 1 KB into an empty repository, against the
//                           non-replacing loop.
// Each figure is the placement's time; its ".ratio" is bare time / placement time (1.00: as fast
// as the bare loop; lower: slower). Details (the bare times, time a file, the cost of the link
// checks) go to standard error.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "comsupport/unique_handle.h"
#include "copy_files.h"
#include "real_location.h"
#include "testing/bench_support.h"

namespace {

using testing_support::Seconds;

class NoMessages : public placement::UserMessages {
 public:
  void Show(const std::string& text, const std::string&, UINT) override {
    std::fprintf(stderr, "unexpected message: %s\n", text.c_str());
    ++count;
  }
  int count = 0;
};

bool WriteBytes(const std::string& path, const std::vector<char>& bytes) {
  comsupport::UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                              FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
         written == bytes.size();
}

// A Vessik directory with count files of size bytes, all listed in its "MyMendlet.dat".
struct Mendlet {
  std::string vessik;  // ends with a backslash
  std::vector<std::string> names;
};

bool MakeMendlet(const std::string& vessik, int count, DWORD size, Mendlet& mendlet) {
  mendlet.vessik = vessik;
  ::CreateDirectoryA(vessik.c_str(), nullptr);
  std::vector<char> bytes(size);
  for (DWORD i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 + 3);
  std::string list;
  for (int i = 0; i < count; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "file%05d.bin", i);
    mendlet.names.push_back(name);
    list += name;
    list += "\r\n";
    if (!WriteBytes(vessik + name, bytes)) return false;
  }
  return WriteBytes(vessik + "MyMendlet.dat", std::vector<char>(list.begin(), list.end()));
}

void Empty(const std::string& directory, const Mendlet& mendlet) {
  for (const std::string& name : mendlet.names) ::DeleteFileA((directory + "\\" + name).c_str());
  ::RemoveDirectoryA(directory.c_str());
}

void Remove(const Mendlet& mendlet) {
  Empty(mendlet.vessik, mendlet);
  ::DeleteFileA((mendlet.vessik + "MyMendlet.dat").c_str());
  ::RemoveDirectoryA(mendlet.vessik.c_str());
}

bool Place(const Mendlet& mendlet, const std::string& repository, NoMessages& messages) {
  return placement::CopyListedFiles(mendlet.vessik, repository, repository, messages) ==
         placement::CopyResult::kCompleted;
}

bool BareLoop(const Mendlet& mendlet, const std::string& target, bool fail_if_exists) {
  bool ok = true;
  for (const std::string& name : mendlet.names) {
    ok = ::CopyFileA((mendlet.vessik + "\\" + name).c_str(), (target + "\\" + name).c_str(), fail_if_exists) && ok;
  }
  return ok;
}

struct Figure {
  double placement = 1e9;
  double bare = 1e9;
};

// Rounds of a placement into placement_target and the bare loop into bare_target, taking turns
// to go first. fresh: both targets are emptied before every round.
bool Measure(const Mendlet& mendlet, const std::string& placement_target, const std::string& bare_target,
             bool fresh, int rounds, NoMessages& messages, Figure& figure) {
  bool ok = true;
  for (int round = 0; round < rounds && ok; ++round) {
    if (fresh) {
      Empty(placement_target, mendlet);
      Empty(bare_target, mendlet);
      ::CreateDirectoryA(placement_target.c_str(), nullptr);
      ::CreateDirectoryA(bare_target.c_str(), nullptr);
    }
    for (int turn = 0; turn < 2; ++turn) {
      double start = Seconds();
      if ((turn + round) % 2 == 0) {
        ok = Place(mendlet, placement_target, messages) && ok;
        figure.placement = std::min(figure.placement, Seconds() - start);
      } else {
        ok = BareLoop(mendlet, bare_target, fresh) && ok;
        figure.bare = std::min(figure.bare, Seconds() - start);
      }
    }
  }
  return ok && messages.count == 0;
}

void Print(const char* name, const Figure& figure, size_t files) {
  testing_support::PrintFigure(name, figure.placement * 1000.0, "ms");
  testing_support::PrintRatio(name, figure.bare / figure.placement);
  std::fprintf(stderr, "%s: placement %.1f ms (%.3f ms a file), bare loop %.1f ms (%.3f ms a file)\n", name,
               figure.placement * 1000.0, figure.placement * 1000.0 / files, figure.bare * 1000.0,
               figure.bare * 1000.0 / files);
}

// What finding the real location of every source costs, on top of opening it.
void ReportLinkCheckCost(const Mendlet& mendlet) {
  double with = 1e9, without = 1e9;
  for (int round = 0; round < 3; ++round) {
    for (int check = 0; check < 2; ++check) {
      double start = Seconds();
      for (const std::string& name : mendlet.names) {
        comsupport::UniqueHandle file(::CreateFileA((mendlet.vessik + "\\" + name).c_str(), GENERIC_READ,
                                                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        if (check) placement::RealPath(file.get());
      }
      double& best = check ? with : without;
      best = std::min(best, Seconds() - start);
    }
  }
  std::fprintf(stderr, "link check: %.3f ms a file (an open alone: %.3f ms)\n",
               (with - without) * 1000.0 / mendlet.names.size(), without * 1000.0 / mendlet.names.size());
}

}  // namespace

int main() {
  testing_support::PrepareBenchmarkProcess();
  char temp[MAX_PATH];
  if (!::GetTempPathA(MAX_PATH, temp)) return 2;
  const std::string root = std::string(temp) + "placement_bench_" + std::to_string(::GetCurrentProcessId());
  ::CreateDirectoryA(root.c_str(), nullptr);
  NoMessages messages;
  bool ok = true;

  // The replaced repositories are made first, so that every file in them is older.
  Mendlet large, small;
  const std::string replaced = root + "\\replaced", replaced_bare = root + "\\replaced-bare";
  ::CreateDirectoryA(replaced.c_str(), nullptr);
  ::CreateDirectoryA(replaced_bare.c_str(), nullptr);
  {
    Mendlet old_files;
    ok = MakeMendlet(root + "\\old\\", 1000, 50 * 1000, old_files) && ok;
    ok = BareLoop(old_files, replaced, false) && BareLoop(old_files, replaced_bare, false) && ok;
    Remove(old_files);
  }
  ::Sleep(1100);
  ok = MakeMendlet(root + "\\vessik\\", 1000, 100 * 1000, large) && ok;
  ok = MakeMendlet(root + "\\small\\", 10000, 1000, small) && ok;
  if (!ok) {
    std::fprintf(stderr, "cannot write the Mendlets in %s\n", root.c_str());
    return 2;
  }

  Figure fresh, replacing, many;
  ok = Measure(large, root + "\\new", root + "\\new-bare", true, 3, messages, fresh) && ok;
  ok = Measure(large, replaced, replaced_bare, false, 3, messages, replacing) && ok;
  ok = Measure(small, root + "\\many", root + "\\many-bare", true, 2, messages, many) && ok;
  ReportLinkCheckCost(large);

  for (const char* directory : {"\\new", "\\new-bare", "\\replaced", "\\replaced-bare"}) Empty(root + directory, large);
  for (const char* directory : {"\\many", "\\many-bare"}) Empty(root + directory, small);
  Remove(large);
  Remove(small);
  ::RemoveDirectoryA(root.c_str());

  if (!ok) {
    std::fprintf(stderr, "a copy failed\n");
    return 1;
  }
  Print("placement_copy_new", fresh, large.names.size());
  Print("placement_copy_replace", replacing, large.names.size());
  Print("placement_copy_10000", many, small.names.size());
  return 0;
}
