/* A host program of its own: includes typedata.h alone. */
#include <stdio.h>
#include <string.h>

#include "typedata.h"

typedef void (*td_any_function)(void);
extern const td_any_function td_all_exports[];

int main(void) {
  char line[] = "  [D] , x ;y  ";
  char first[64], second[64];
  char* table[32] = {first, second};
  char name[32];
  int failures = 0;
  int count = 0;

  while (td_all_exports[count]) ++count;
  if (token(line, table) != 0 || strcmp(first, "[D]") != 0 || strcmp(table[1], "x") != 0) {
    puts("token gave the wrong tokens");
    ++failures;
  }
  if (quote("\"T40+STEEL\",x", name) != 9 || strcmp(name, "T40+STEEL") != 0) {
    puts("quote gave the wrong name");
    ++failures;
  }
  printf("c_host: %d exports linked, %s\n", count, failures ? "FAILED" : "ok");
  return failures != 0;
}
