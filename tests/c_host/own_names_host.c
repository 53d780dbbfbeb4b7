/* A host that links the shared library and has functions of its own under
 * names the library exports: its trim and leading do other jobs than the
 * library's. The library's own calls must still reach its own line
 * utilities, so that tokens and type data files read as they should. */
#define _POSIX_C_SOURCE 200809L
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "typedata.h"

/* This host's trim trims nothing, and its leading skips nothing. */
char* trim(char* text) { return text; }
char* leading(char* text) { return text; }

static int failures = 0;

static void Expect(int ok, const char* what) {
  if (!ok) {
    printf("%s\n", what);
    ++failures;
  }
}

/* Writes text to path; 0 when done. */
static int WriteFile(const char* path, const char* text) {
  FILE* file = fopen(path, "w");
  if (!file) return -1;
  const int written = fputs(text, file) >= 0;
  return fclose(file) == 0 && written ? 0 : -1;
}

/* Reads a type data file of type 0, whose lines begin with white space, in
 * a folder of its own beside bin/ (the service looks for ..\type\). */
static void ReadsTypeDataFile(void) {
  const char* tmp = getenv("TMPDIR");
  char root[256];
  char path[300];
  snprintf(root, sizeof root, "%s/own_names_host_XXXXXX", tmp && *tmp ? tmp : "/tmp");
  if (!mkdtemp(root)) {
    Expect(0, "no temporary folder");
    return;
  }
  snprintf(path, sizeof path, "%s/bin", root);
  mkdir(path, 0700);
  snprintf(path, sizeof path, "%s/type", root);
  mkdir(path, 0700);
  snprintf(path, sizeof path, "%s/type/0000", root);
  mkdir(path, 0700);
  snprintf(path, sizeof path, "%s/type/0000/MAIN0000.DAT", root);
  Expect(WriteFile(path, "  [D]  // the numbers\n  1:5 , 2: 7 ;\n") == 0,
         "the type data file was not written");

  TypeRecord* type = calloc(1, TD_TYPE_RECORD_SIZE(1));
  char bin[300];
  snprintf(bin, sizeof bin, "%s/bin", root);
  if (type && chdir(bin) == 0) {
    Expect(DAT_fread("MAIN0000.DAT", 0, type) == 0, "DAT_fread failed");
    BlockTable* blocks = type->configs[0].blocks;
    ValueBlock* d = blocks ? (ValueBlock*)blocks->slot[TD_SLOT_D] : NULL;
    Expect(d && d->count == 2 && d->values[0] == 5.0 && d->values[1] == 7.0,
           "DAT_fread read the wrong values");
    if (blocks) {
      for (int slot = 0; slot < TD_SLOT_COUNT; ++slot) free(blocks->slot[slot]);
      free(blocks);
    }
  } else {
    Expect(0, "no type record or no bin folder");
  }
  free(type);
  unlink(path);
  snprintf(path, sizeof path, "%s/type/0000", root);
  rmdir(path);
  snprintf(path, sizeof path, "%s/type", root);
  rmdir(path);
  rmdir(bin);
  rmdir(root);
}

int main(void) {
  char line[] = "  [D] , x ;y  ";
  char first[64], second[64];
  char* table[32] = {first, second};

  Expect(token(line, table) == 0 && strcmp(first, "[D]") == 0 && strcmp(table[1], "x") == 0,
         "token gave the wrong tokens");
  ReadsTypeDataFile();
  printf("own_names_host: %s\n", failures ? "FAILED" : "ok");
  return failures != 0;
}
