/* A Windows host built from the release zip alone: its headers and an
 * import library; typedata.dll (and the mmisim.dll it imports the host
 * operations from) are loaded from beside it. */
#include <stdio.h>
#include <string.h>

#include <typedata/typedata.h>

/* The header leaves the choice of the lean Windows headers to the host. */
#ifdef WIN32_LEAN_AND_MEAN
#error "typedata.h defined WIN32_LEAN_AND_MEAN for the host"
#endif

int main(void) {
  char line[] = " 12,\"T40+STEEL\" // comment";
  char first[64], second[64];
  char* table[8] = {first, second};
  char name[TD_TYPE_NAME_SIZE];
  int failures = 0;

  if (SearchRec(line, 12) != 1 || SearchRec(line, 13) != 0) {
    puts("SearchRec did not find the record of type 12 alone");
    ++failures;
  }
  if (quote("\"T40+STEEL\",x", name) != 9 || strcmp(name, "T40+STEEL") != 0) {
    puts("quote gave the wrong name");
    ++failures;
  }
  if (token(line, table) != 0 || strcmp(first, "12") != 0) {
    puts("token gave the wrong tokens");
    ++failures;
  }
  printf("zip host: typedata %s, %s\n", TD_VERSION_STRING, failures ? "FAILED" : "ok");
  return failures != 0;
}
