/*
 * The shortest useful host: linked against quorvel_engine, it scores a pair
 * of aces, then searches the same hand for the best play and prints the
 * final report.
 *
 *   cc -std=c11 minimal.c -I include -L <dir of the library> -lquorvel_engine
 */
#if !defined(_WIN32)
#define _POSIX_C_SOURCE 200809L
#endif

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "quorvel_engine.h"

#if defined(_WIN32)
#include <windows.h>
static void pause_ms(unsigned ms) {
  Sleep(ms);
}
#else
#include <time.h>
static void pause_ms(unsigned ms) {
  struct timespec t = {0, (long)ms * 1000000L};
  nanosleep(&t, NULL);
}
#endif

#define SNAPSHOT                                                    \
  "{\"schema\":1,"                                                  \
  "\"hand\":[{\"id\":1,\"rank\":14,\"suit\":\"Spades\"},"           \
  "{\"id\":2,\"rank\":14,\"suit\":\"Diamonds\"},"                   \
  "{\"id\":3,\"rank\":9,\"suit\":\"Diamonds\"}],"                   \
  "\"jokers\":[{\"id\":7,\"key\":\"j_joker\",\"ab\":{\"mult\":4}}," \
  "{\"id\":8,\"key\":\"j_greedy_joker\","                           \
  "\"ab\":{\"extra\":{\"s_mult\":3,\"suit\":\"Diamonds\"}}}],"      \
  "\"levels\":{\"Pair\":{\"chips\":10,\"mult\":2},"                 \
  "\"High Card\":{\"chips\":5,\"mult\":1}}}"

/* A buffer that grows to the length the library asks for. */
static uint8_t* out = NULL;
static size_t out_cap = 0;

static int grow(size_t needed) {
  uint8_t* bigger = (uint8_t*)realloc(out, needed);
  if (bigger == NULL) return 0;
  out = bigger;
  out_cap = needed;
  return 1;
}

int main(void) {
  const char* request = "{\"snapshot\":" SNAPSHOT ",\"play\":[1,2]}";
  size_t len = 0;
  int32_t status;
  uint64_t job;

  /* Score: on QRV_TOO_SMALL the answer is gone, so grow and score again. */
  do {
    status = qrv_score((const uint8_t*)request, strlen(request), out, out_cap, &len);
  } while (status == QRV_TOO_SMALL && grow(len));
  if (status == QRV_TOO_SMALL) return 1;
  printf("%s: %.*s\n", status == QRV_OK ? "answer" : "error", (int)len, (const char*)out);

  /* Search: poll until the status leaves QRV_RUNNING. A report that did not
     fit stays in the library for the next poll. */
  job = qrv_search_start((const uint8_t*)SNAPSHOT, strlen(SNAPSHOT));
  if (job == 0) return 1;
  for (;;) {
    status = qrv_search_poll(job, out, out_cap, &len);
    if (status == QRV_TOO_SMALL) {
      if (!grow(len)) return 1;
      continue;
    }
    if (status == QRV_OK && len > 0) printf("final report: %.*s\n", (int)len, (const char*)out);
    if (status == QRV_ERROR && len > 0) printf("error: %.*s\n", (int)len, (const char*)out);
    if (status != QRV_RUNNING) break;
    pause_ms(2);
  }
  free(out);
  return status == QRV_OK ? 0 : 1;
}
