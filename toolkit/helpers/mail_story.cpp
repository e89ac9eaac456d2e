#include <windows.h>
#include <mapi.h>
#include <string.h>

#include <string>
#include <vector>

#include "borrowed_model.h"
#include "comsupport/boundary.h"
#include "qm/qm_buffer.h"
#include "ravlin/ravlin.h"
#include "vinnet/mapi_message.h"
#include "vinnet/story_caps.h"

namespace {

const char kFullStory[] = "\r\n\r\nFull Story:  ";

// What the mail needs from the model, gathered under its lock: the mail dialog may stay open
// for minutes, and other windows must not wait for the model meanwhile.
struct StoryMail {
  CString subject;
  CString body;
  std::vector<CString> attachments;
};

CString LocalPath(const CString& cached) {
  for (const char* prefix : {"file:///", "file://"}) {
    if (_strnicmp(cached.c_str(), prefix, strlen(prefix)) == 0) return cached.substr(strlen(prefix));
  }
  return cached;
}

// The client's own temporary files are never mailed.
bool IsClientTemporary(const CString& path) {
  const size_t slash = path.find_last_of("\\/");
  const CString name = slash == CString::npos ? path : path.substr(slash + 1);
  return _strnicmp(name.c_str(), "ZR_TSR", 6) == 0;
}

// The local copy of a document the client's cache holds; empty when it holds none.
CString CachedFile(const CString& url) {
  QMBuffer local_file;
  if (url.empty() || !ZRIsURLCached(url.c_str()) || !ZRGetCachedURL(url.c_str(), local_file)) return CString();
  return LocalPath(local_file.GetText());
}

bool Gather(DWORD channel_id, DWORD story_id, StoryMail& mail) {
  BorrowedModel model;
  CService* service = model.get() ? model.get()->GetServiceByID(channel_id) : nullptr;
  const long index = service ? service->GetStoryIndex(story_id) : -1;
  if (index < 0) return false;

  long vessik_id = 0;
  if (service->GetStoryAttribute(index, "Vessik Id", vessik_id) || service->GetStoryField(index, "Vessik Id", vessik_id)) {
    // Its files must be present to be attached.
    if (vessik_id) ZRAccessVessik(channel_id, static_cast<DWORD>(vessik_id), 0xFFFFFFFF);
  }
  mail.subject = service->GetStoryHeadline(index);
  service->GetStoryField(index, "Text", mail.body);
  CString url;
  service->GetStoryField(index, "URL", url);
  std::vector<CString> documents;
  if (!url.empty()) documents.push_back(url);
  for (int number = 1;; ++number) {
    CString attachment;
    if (!service->GetStoryAttribute(index, ("Attachment URL " + std::to_string(number)).c_str(), attachment)) break;
    if (!attachment.empty()) documents.push_back(attachment);
  }
  for (const CString& document : documents) {
    const CString file = CachedFile(document);
    if (!file.empty() && !IsClientTemporary(file)) mail.attachments.push_back(file);
  }
  if (!url.empty()) mail.body += kFullStory + url;
  return true;
}

}  // namespace

int MailStory(DWORD channel_id, DWORD story_id, HWND parent) {
  return comsupport::Boundary("MailStory", 0, [&] {
  StoryMail mail;
  if (!Gather(channel_id, story_id, mail)) return 0;
  CMapiMessage message;
  message.Subject(mail.subject);
  message.Text(mail.body);
  for (const CString& file : mail.attachments) message.Attach(file);
  return message.Send(parent, MAPI_DIALOG);
  });
}
