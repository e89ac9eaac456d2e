#include "http_client.h"

#include <vector>

#include "browser_proxy.h"
#include "checksum.h"
#include "comsupport/boundary.h"
#include "download_messages.h"
#include "package_info.h"
#include "text_list.h"

namespace installer {

namespace {

// Writes a body into a file, replacing what it held.
class FileSink : public BodySink {
 public:
  explicit FileSink(std::string path) : path_(std::move(path)) {}
  bool Begin() override {
    file_.reset(::CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    size_ = 0;
    return static_cast<bool>(file_);
  }
  bool Write(const char* data, size_t size, bool* disk_full) override {
    DWORD written = 0;
    if (!::WriteFile(file_.get(), data, static_cast<DWORD>(size), &written, nullptr) || written != size) {
      DWORD error = ::GetLastError();
      *disk_full = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL;
      return false;
    }
    size_ += size;
    return true;
  }
  void Close() { file_.reset(); }
  unsigned long long size() const { return size_; }
  // Cuts the file back to size bytes and goes on writing there.
  void Rewind(unsigned long long size) {
    if (size_ == size) return;
    LARGE_INTEGER position;
    position.QuadPart = static_cast<LONGLONG>(size);
    ::SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN);
    ::SetEndOfFile(file_.get());
    size_ = size;
  }

 private:
  std::string path_;
  comsupport::UniqueHandle file_;
  unsigned long long size_ = 0;
};

// A part being received: written to its own file and appended to the target, its checksum
// computed on the way.
class PartSink : public BodySink {
 public:
  // whole: the whole file's checksum up to this part; the part goes into a copy of it.
  PartSink(std::string path, FileSink* target, const Checksum* whole)
      : file_(std::move(path)), target_(target), whole_(whole) {}
  bool Begin() override {
    target_->Rewind(start_ == kUnset ? (start_ = target_->size()) : start_);
    checksum_ = std::make_unique<Checksum>();
    whole_after_ = whole_->Duplicate();
    return file_.Begin() && checksum_->ok() && whole_after_;
  }
  bool Write(const char* data, size_t size, bool* disk_full) override {
    checksum_->Add(data, size);
    whole_after_->Add(data, size);
    return file_.Write(data, size, disk_full) && target_->Write(data, size, disk_full);
  }
  // The whole file's checksum including this part.
  std::unique_ptr<Checksum> TakeWhole() { return std::move(whole_after_); }
  void Close() { file_.Close(); }
  unsigned long long size() const { return file_.size(); }
  int32_t Sum() { return checksum_ ? checksum_->Value() : 0; }

 private:
  static constexpr unsigned long long kUnset = ~0ull;
  FileSink file_;
  FileSink* target_;
  unsigned long long start_ = kUnset;
  const Checksum* whole_;
  std::unique_ptr<Checksum> checksum_;
  std::unique_ptr<Checksum> whole_after_;
};

// A part's size and checksum as found on disk.
bool PartIsGood(const std::string& path, uint32_t size, int32_t sum) {
  uint64_t found_size = 0;
  auto found = FileChecksum(path, &found_size);
  return found && found_size == size && *found == sum;
}

// A corrupt server could make a part fail for ever: a few attempts, then the file fails.
constexpr int kPartAttempts = 3;

}  // namespace

IAD_HTTPClient::~IAD_HTTPClient() {
  Abort();
  Join();
}

bool IAD_HTTPClient::Start(const HttpJob& job) {
  job_ = job;
  control_.abort = false;
  control_.suspend = false;
  control_.timeout_ms = NetworkTimeout();
  DWORD id = 0;
  thread_.reset(::CreateThread(nullptr, 0, &IAD_HTTPClient::ThreadMain, this, 0, &id));
  return static_cast<bool>(thread_);
}

void IAD_HTTPClient::Join() {
  if (!thread_) return;
  HANDLE handle = thread_.get();
  while (::MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
    // Sent messages are delivered by the peek itself.
    MSG message;
    ::PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  thread_.reset();
}

DWORD WINAPI IAD_HTTPClient::ThreadMain(void* self) {
  return comsupport::Boundary("IAD_HTTPClient thread", DWORD{1}, [&] {
    static_cast<IAD_HTTPClient*>(self)->Run();
    return DWORD{0};
  });
}

void IAD_HTTPClient::Report(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!control_.abort) ::SendMessageA(job_.dialog, message, wparam, lparam);
}

Url IAD_HTTPClient::Address(const std::string& file) const {
  Url url;
  std::optional<Url> server = ParseUrl(job_.settings.server);
  if (server) url = *server;
  url.user = job_.settings.user;
  url.password = job_.settings.password;
  url.path = job_.server_folder + file;
  return url;
}

bool IAD_HTTPClient::FetchPackageInfo(std::string* text) {
  std::vector<Proxy> attempts;
  if (job_.settings.proxy.used()) attempts.push_back(job_.settings.proxy);
  if (auto browser = FindBrowserProxy()) {
    Proxy proxy;
    proxy.host = browser->host;
    proxy.port = browser->port;
    proxy.user = job_.settings.proxy.user;
    proxy.password = job_.settings.proxy.password;
    attempts.push_back(proxy);
  }
  attempts.push_back(Proxy{});

  bool answered = false;
  auto attempt = [&](const Proxy& proxy) {
    if (!ParseUrl(job_.settings.server)) return false;
    StringSink sink(kMaxPackageInfoBytes);
    HttpResult result = HttpGet(Address("pkginfo.txt"), proxy, sink, control_);
    answered = answered || result.answered;
    if (!result) {
      last_error_ = "pkginfo.txt: " + result.detail;
      return false;
    }
    *text = sink.text();
    proxy_used_ = proxy;
    return true;
  };
  for (const Proxy& proxy : attempts) {
    if (control_.abort) return false;
    if (attempt(proxy)) return true;
  }
  while (job_.may_ask_user && !control_.abort) {
    HttpSettings asked = job_.settings;
    if (::SendMessageA(job_.dialog, kAskHttpSettings, 0, reinterpret_cast<LPARAM>(&asked)) != IDOK) break;
    job_.settings = asked;
    if (attempt(asked.proxy)) return true;
  }
  Report(answered ? Messages().started : Messages().connected, 1, 0);
  return false;
}

bool IAD_HTTPClient::FetchParts(const std::string& info_text) {
  std::string error;
  std::optional<PackageInfo> info = ParsePackageInfo(info_text, &error);
  if (!info) {
    last_error_ = "pkginfo.txt: " + error;
    Report(Messages().started, 1, 0);
    return false;
  }
  Report(Messages().started, 0, static_cast<LPARAM>(std::min<uint64_t>(info->total_size, 0x7FFFFFFF)));

  FileSink target(job_.target_path);
  if (!target.Begin()) {
    last_error_ = "cannot create " + job_.target_path;
    Report(Messages().file_done, 1, 0);
    return false;
  }
  std::vector<char> buffer(256 * 1024);
  auto whole = std::make_unique<Checksum>();
  for (size_t index = 0; index < info->part_sizes.size(); ++index) {
    const std::string name = PackageInfo::PartName(index);
    const std::string part_path = JoinPath(job_.work_directory, name);
    const uint32_t size = info->part_sizes[index];
    const unsigned long long part_start = target.size();
    bool good = false;
    if (PartIsGood(part_path, size, info->part_sums[index])) {
      // A part verified before: appended as it is, without asking the server.
      comsupport::UniqueHandle part(::CreateFileA(part_path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
      DWORD read = 0;
      bool disk_full = false;
      while (part && ::ReadFile(part.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr) && read) {
        whole->Add(buffer.data(), read);
        if (!target.Write(buffer.data(), read, &disk_full)) {
          Report(Messages().file_done, disk_full ? kFileDoneDiskFull : 1, 0);
          return false;
        }
      }
      good = target.size() == part_start + size;
    }
    for (int attempt = 0; !good && attempt < kPartAttempts; ++attempt) {
      // The part goes to its own file and to the target at once; a part that fails its check
      // is cut off the target again.
      target.Rewind(part_start);
      PartSink part(part_path, &target, whole.get());
      HttpResult result = HttpGet(Address(name), proxy_used_, part, control_);
      part.Close();
      if (control_.abort) return false;
      if (result.error == HttpError::kDiskFull) {
        Report(Messages().file_done, kFileDoneDiskFull, 0);
        return false;
      }
      if (!result) {
        last_error_ = name + ": " + result.detail;
        ::DeleteFileA(part_path.c_str());
        Report(Messages().file_done, 1, 0);
        return false;
      }
      good = part.size() == size && part.Sum() == info->part_sums[index];
      if (good) whole = part.TakeWhole();
      if (!good) last_error_ = name + ": checksum mismatch";
    }
    if (!good) {
      ::DeleteFileA(part_path.c_str());
      Report(Messages().file_done, 1, 0);
      return false;
    }
    uint64_t done = static_cast<uint64_t>(index + 1) * info->part_sizes[0];
    Report(Messages().progress, 0, static_cast<LPARAM>(std::min<uint64_t>(std::min(done, info->total_size), 0x7FFFFFFF)));
  }
  target.Close();
  if (target.size() != info->total_size || whole->Value() != info->total_sum) {
    last_error_ = "the whole file's checksum does not match";
    Report(Messages().file_done, 1, 0);
    return false;
  }
  Report(Messages().file_done, 0, 0);
  return true;
}

void IAD_HTTPClient::Run() {
  std::string info;
  if (!FetchPackageInfo(&info)) return;
  Report(Messages().connected, 0, 0);
  if (!FetchParts(info)) {
    std::string line = "installer: " + last_error_ + "\n";
    ::OutputDebugStringA(line.c_str());
  }
}

}  // namespace installer
