/*
 * A minimal host for quorvel_engine: loads the library at run time, looks up
 * its four functions by name, scores the play in a score request file, then
 * searches for the best play of a snapshot file, polling every millisecond,
 * and prints each report it collects. The library keeps only a search's newest
 * report, so a stage overtaken between two polls is skipped; the final report
 * is always printed.
 *
 *   example_host <library> <score_request.json> <snapshot.json>
 */
#if !defined(_WIN32)
#define _POSIX_C_SOURCE 200809L
#endif

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#include <time.h>
#endif

typedef int32_t (*abi_version_fn)(void);
typedef int32_t (*score_fn)(const uint8_t*, size_t, uint8_t*, size_t, size_t*);
typedef uint64_t (*search_start_fn)(const uint8_t*, size_t);
typedef int32_t (*search_poll_fn)(uint64_t, uint8_t*, size_t, size_t*);

struct engine {
  abi_version_fn abi_version;
  score_fn score;
  search_start_fn search_start;
  search_poll_fn search_poll;
};

static void* open_library(const char* path) {
#if defined(_WIN32)
  return (void*)LoadLibraryA(path);
#else
  return dlopen(path, RTLD_NOW | RTLD_LOCAL);
#endif
}

/* Looks a function up by name; the copy avoids casting an object pointer to a
   function pointer, which ISO C leaves undefined. */
static int lookup(void* library, const char* name, void* slot, size_t size) {
#if defined(_WIN32)
  FARPROC found = GetProcAddress((HMODULE)library, name);
#else
  void* found = dlsym(library, name);
#endif
  if (found == NULL) {
    fprintf(stderr, "the library has no function %s\n", name);
    return 0;
  }
  memcpy(slot, &found, size);
  return 1;
}

static void pause_briefly(void) {
#if defined(_WIN32)
  Sleep(1);
#else
  struct timespec delay = {0, 1000 * 1000};
  nanosleep(&delay, NULL);
#endif
}

/* Reads a whole file; the caller frees the bytes. */
static uint8_t* read_file(const char* path, size_t* len) {
  FILE* file = fopen(path, "rb");
  uint8_t* data = NULL;
  size_t cap = 0;
  *len = 0;
  if (file == NULL) return NULL;
  for (;;) {
    size_t got;
    if (*len == cap) {
      uint8_t* grown;
      cap = cap ? cap * 2 : 4096;
      grown = (uint8_t*)realloc(data, cap);
      if (grown == NULL) break;
      data = grown;
    }
    got = fread(data + *len, 1, cap - *len, file);
    if (got == 0) break;
    *len += got;
  }
  if (ferror(file)) {
    free(data);
    data = NULL;
  }
  fclose(file);
  return data;
}

/* A buffer that grows to whatever length the library asks for. */
struct buffer {
  uint8_t* data;
  size_t cap;
};

static int grow(struct buffer* buf, size_t needed) {
  uint8_t* grown = (uint8_t*)realloc(buf->data, needed);
  if (grown == NULL) return 0;
  buf->data = grown;
  buf->cap = needed;
  return 1;
}

static int score_file(const struct engine* e, const char* path, struct buffer* buf) {
  size_t len = 0, out_len = 0;
  int32_t status;
  uint8_t* request = read_file(path, &len);
  if (request == NULL) {
    fprintf(stderr, "cannot read %s\n", path);
    return 0;
  }
  status = e->score(request, len, buf->data, buf->cap, &out_len);
  if (status == -2) {
    /* Too small: the answer was discarded, so score again with room for it. */
    if (!grow(buf, out_len)) {
      free(request);
      return 0;
    }
    status = e->score(request, len, buf->data, buf->cap, &out_len);
  }
  free(request);
  if (status == 1) {
    printf("score answer:\n%.*s\n", (int)out_len, (const char*)buf->data);
    return 1;
  }
  if (status == -1) {
    printf("score error: %.*s\n", (int)out_len, (const char*)buf->data);
  } else {
    printf("score failed with status %d\n", (int)status);
  }
  return 0;
}

static int search_file(const struct engine* e, const char* path, struct buffer* buf) {
  size_t len = 0;
  uint64_t job;
  uint8_t* request = read_file(path, &len);
  if (request == NULL) {
    fprintf(stderr, "cannot read %s\n", path);
    return 0;
  }
  job = e->search_start(request, len);
  free(request); /* the library keeps its own copy */
  if (job == 0) {
    fprintf(stderr, "the search could not be started\n");
    return 0;
  }
  printf("search job %llu started\n", (unsigned long long)job);
  for (;;) {
    size_t out_len = 0;
    int32_t status = e->search_poll(job, buf->data, buf->cap, &out_len);
    if (status == -2) {
      /* The report stays unread: grow the buffer and poll again. */
      if (!grow(buf, out_len)) return 0;
      continue;
    }
    if (out_len > 0) {
      const char* what = status == -1 ? "search error" : "report";
      printf("%s: %.*s\n", what, (int)out_len, (const char*)buf->data);
    }
    if (status == 1) return 1;
    if (status == -1) return 0;
    if (status != 0) {
      printf("search ended with status %d\n", (int)status);
      return 0;
    }
    pause_briefly();
  }
}

int main(int argc, char** argv) {
  struct engine e;
  struct buffer buf = {NULL, 0};
  void* library;
  int ok;
  if (argc != 4) {
    fprintf(stderr, "usage: %s <library> <score_request.json> <snapshot.json>\n", argv[0]);
    return 2;
  }
  library = open_library(argv[1]);
  if (library == NULL) {
    fprintf(stderr, "cannot load %s\n", argv[1]);
    return 1;
  }
  if (!lookup(library, "qrv_abi_version", &e.abi_version, sizeof e.abi_version) ||
      !lookup(library, "qrv_score", &e.score, sizeof e.score) ||
      !lookup(library, "qrv_search_start", &e.search_start, sizeof e.search_start) ||
      !lookup(library, "qrv_search_poll", &e.search_poll, sizeof e.search_poll)) {
    return 1;
  }
  printf("interface version %d\n", (int)e.abi_version());
  /* Deliberately small, to show the -2 rule at work. */
  if (!grow(&buf, 64)) return 1;
  ok = score_file(&e, argv[2], &buf) && search_file(&e, argv[3], &buf);
  free(buf.data);
  /* The library is not unloaded: its worker thread lives until the process ends. */
  return ok ? 0 : 1;
}
