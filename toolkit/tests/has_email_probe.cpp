// Exits with CMapiMessage::HasEmail(), which a process finds out only once.
#include "vinnet/mapi_message.h"

int main() { return CMapiMessage::HasEmail(); }
