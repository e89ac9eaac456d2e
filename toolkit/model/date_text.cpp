#include "vinnet/date_text.h"

#include <cstdio>
#include <ctime>

#include "comsupport/boundary.h"

namespace {

const char* const kShortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "June",
                                      "July", "Aug", "Sept", "Oct", "Nov", "Dec"};
const char* const kLongMonths[12] = {"January", "February", "March", "April", "May", "June",
                                     "July", "August", "September", "October", "November", "December"};

// The time in the C runtime's local time (its TZ setting, else the system's zone).
bool LocalTime(DWORD time, std::tm& local) {
  __time64_t value = static_cast<__time64_t>(time);
  return _localtime64_s(&local, &value) == 0 && local.tm_mon >= 0 && local.tm_mon < 12;
}

int Hour12(const std::tm& local) { return local.tm_hour % 12 == 0 ? 12 : local.tm_hour % 12; }

CString Joined(const char* date, const char* clock) {
  char text[160];
  std::snprintf(text, sizeof text, "%s - %s", date, clock);
  return text;
}

CString ShortForm(DWORD time) {
  std::tm local{};
  if (!LocalTime(time, local)) return CString();
  char date[32], clock[32];
  std::snprintf(date, sizeof date, "%s %d", kShortMonths[local.tm_mon], local.tm_mday);
  std::snprintf(clock, sizeof clock, "%d:%02d %cm", Hour12(local), local.tm_min, local.tm_hour < 12 ? 'a' : 'p');
  return Joined(date, clock);
}

CString LongForm(DWORD time) {
  std::tm local{};
  if (!LocalTime(time, local)) return CString();
  char date[64], clock[32];
  std::snprintf(date, sizeof date, "%s %d, %d", kLongMonths[local.tm_mon], local.tm_mday, local.tm_year + 1900);
  std::snprintf(clock, sizeof clock, "%d:%02d %cM", Hour12(local), local.tm_min, local.tm_hour < 12 ? 'A' : 'P');
  return Joined(date, clock);
}

}  // namespace

CString ShortDateTimeText(DWORD time) {
  return comsupport::Boundary("ShortDateTimeText", CString(), [&] { return ShortForm(time); });
}

CString LongDateTimeText(DWORD time) {
  return comsupport::Boundary("LongDateTimeText", CString(), [&] { return LongForm(time); });
}
