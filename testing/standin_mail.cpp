#include "testing/standin_mail.h"

#include <mapi.h>

#include <fstream>
#include <stdexcept>

#include "comsupport/registry.h"
#include "testing/process.h"

namespace testing_support {

namespace {

const char kClients[] = "Software\\Clients\\Mail";
const char kName[] = "Halvern Stand-in Mail";

comsupport::RegistryKey Settings() {
  return comsupport::RegistryKey::Create(HKEY_LOCAL_MACHINE, std::string(kClients) + "\\" + kName, KEY_READ | KEY_WRITE);
}

std::string After(const std::string& line, const std::string& prefix) { return line.substr(prefix.size()); }

bool StartsWith(const std::string& line, const std::string& prefix) { return line.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

StandinMail::StandinMail() {
  comsupport::RegistryKey clients = comsupport::RegistryKey::Create(HKEY_LOCAL_MACHINE, kClients, KEY_WRITE);
  comsupport::RegistryKey settings = Settings();
  if (!clients || !settings || clients.WriteString(nullptr, kName) != ERROR_SUCCESS ||
      settings.WriteString("DLLPath", BuildOutput("HalvernStandinMail.dll")) != ERROR_SUCCESS ||
      settings.WriteString("Journal", scratch_ / "mail-journal.txt") != ERROR_SUCCESS) {
    throw std::runtime_error("the mail stand-in could not be registered");
  }
  Answer(SUCCESS_SUCCESS);
}

StandinMail::~StandinMail() = default;

void StandinMail::Answer(ULONG result) const {
  if (Settings().WriteDword("Answer", result) != ERROR_SUCCESS) throw std::runtime_error("mail stand-in answer not set");
}

std::vector<MailedMessage> StandinMail::Messages() const {
  std::vector<MailedMessage> messages;
  std::ifstream journal(scratch_ / "mail-journal.txt", std::ios::binary);
  std::string line;
  while (std::getline(journal, line)) {
    if (line == "message") {
      messages.emplace_back();
    } else if (messages.empty() || line == "end") {
      continue;
    } else if (StartsWith(line, "flags: ")) {
      messages.back().flags = std::stoul(After(line, "flags: "));
    } else if (StartsWith(line, "owner: ")) {
      messages.back().owner = After(line, "owner: ");
    } else if (StartsWith(line, "subject: ")) {
      messages.back().subject = After(line, "subject: ");
    } else if (StartsWith(line, "body: ")) {
      messages.back().body = After(line, "body: ");
    } else if (StartsWith(line, "recipient: ")) {
      messages.back().recipients.push_back(After(line, "recipient: "));
    } else if (StartsWith(line, "attachment: ")) {
      messages.back().attachments.push_back(After(line, "attachment: "));
    }
  }
  return messages;
}

}  // namespace testing_support
