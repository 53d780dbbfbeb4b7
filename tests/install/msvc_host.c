/* A Windows host as Microsoft's tools build it: compiled for the MSVC ABI
 * (clang --target=i686-pc-windows-msvc) and linked by lld-link with its
 * default flags (/safeseh among them) against the release zip's include/
 * and lib/typedata.lib. Without a Windows SDK's C runtime it starts at
 * host_start and talks through kernel32 alone; typedata.dll is loaded from
 * beside it. */
#include <typedata/typedata.h>

/* Static, so that the compiler calls no memcpy of the C runtime. */
static char line[] = " 12,\"T40+STEEL\" // comment";
static char quoted[] = "\"T40+STEEL\",x";
static char first[64], second[64];
static char* table[8] = {first, second};

static int same(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) ++a, ++b;
  return *a == *b;
}

static void say(const char* text) {
  DWORD length = 0, written = 0;
  while (text[length] != '\0') ++length;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, length, &written, NULL);
}

void host_start(void) {
  char name[TD_TYPE_NAME_SIZE];
  int failures = 0;
  if (SearchRec(line, 12) != 1 || SearchRec(line, 13) != 0) {
    say("SearchRec did not find the record of type 12 alone\n");
    ++failures;
  }
  if (quote(quoted, name) != 9 || !same(name, "T40+STEEL")) {
    say("quote gave the wrong name\n");
    ++failures;
  }
  if (token(line, table) != 0 || !same(first, "12")) {
    say("token gave the wrong tokens\n");
    ++failures;
  }
  say("msvc host: typedata " TD_VERSION_STRING ", ");
  say(failures ? "FAILED\n" : "ok\n");
  ExitProcess(failures != 0);
}
