/*
 * A minimal host program in C: it brings its own host operations (host.c,
 * and windows_calls.c where Windows is absent), includes typedata.h alone
 * and links the service. It makes a new type tree in FOLDER (FOLDER/type
 * beside FOLDER/bin, the host's working directory) whose type 0 holds the
 * machine's defaults, adds type 1 to the catalogue, loads type 0 into value
 * memory and comm memory, and prints the catalogue.
 *
 *   minimal_host FOLDER
 */
#include <errno.h>
#include <stdio.h>
#include <string.h>

#include <typedata/typedata.h>

#ifdef _WIN32
#include <direct.h>
#define make_folder(path) _mkdir(path)
#define change_folder(path) _chdir(path)
#else
#include <sys/stat.h>
#include <unistd.h>
#define make_folder(path) mkdir(path, 0777)
#define change_folder(path) chdir(path)
#endif

void minimal_host_start(void);

/* Reports a failed operation with the reason the system gave. */
static int failed(const char* operation) {
  fprintf(stderr, "minimal_host: %s failed (%s)\n", operation, errno ? strerror(errno) : "no system error");
  return 1;
}

int main(int argc, char** argv) {
  char path[TD_PATH_SIZE];
  char line[256];
  FILE* file;

  if (argc != 2 || strlen(argv[1]) + 8 > sizeof path) {
    fprintf(stderr, "usage: minimal_host FOLDER\n");
    return 2;
  }
  /* The service finds its files in "../type" from the working directory. */
  snprintf(path, sizeof path, "%s/type", argv[1]);
  make_folder(argv[1]);
  make_folder(path);
  snprintf(path, sizeof path, "%s/bin", argv[1]);
  make_folder(path);
  if (change_folder(path) != 0) return failed("changing to the working directory");

  printf("typedata %s\n", TD_VERSION_STRING);
  minimal_host_start();
  errno = 0;
  if (CreateSetTypeData() != 0) return failed("CreateSetTypeData");
  errno = 0;
  if (UpdateTypeFile("STEEL", 1, 1) != 0) return failed("UpdateTypeFile");
  if (ReadCurrentTypeData(0) != 0) return failed("ReadCurrentTypeData");

  file = fopen("../type/mmi.typ", "rb");
  if (!file) return failed("opening the catalogue");
  while (fgets(line, sizeof line, file)) {
    line[strcspn(line, "\r\n")] = '\0';
    printf("catalogue: %s\n", line);
  }
  fclose(file);
  return 0;
}
