/*
 * quorvel_engine: scores plays and searches for the best play of a poker-hand
 * deck-building card game. The host loads the library at run time and calls
 * the four functions below from any thread.
 *
 * Requests are UTF-8 JSON bytes (`json`, `len`); no terminating NUL is needed
 * and none is read, and the library keeps no pointer to them after the call.
 *
 * Answers are copied into a buffer that the caller owns (`out`, `out_cap`),
 * without a terminating NUL; the bytes behind the text keep their content.
 * `out_len` is optional (may be NULL): when given it receives the length of
 * the text handed over, also when that text did not fit, so the caller learns
 * the size it needs.
 *
 * No memory crosses the interface; there is no initialisation or shutdown.
 */
#ifndef QUORVEL_ENGINE_H
#define QUORVEL_ENGINE_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(QRV_BUILDING_LIBRARY)
#define QRV_API __declspec(dllexport)
#else
#define QRV_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define QRV_API __attribute__((visibility("default")))
#else
#define QRV_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes of qrv_score and qrv_search_poll. */
#define QRV_OK 1      /* answer handed over; poll: the final report */
#define QRV_RUNNING 0 /* poll only: the search is still running */
#define QRV_ERROR                                                              \
  (-1)                       /* the text handed over is a plain error message; \
                                also a contained internal failure (no text) */
#define QRV_TOO_SMALL (-2)   /* `out` is NULL or shorter than the text; nothing copied */
#define QRV_NO_SUCH_JOB (-3) /* poll only: never started, or superseded */

/* The interface version: always 1. */
QRV_API int32_t qrv_abi_version(void);

/*
 * Scores one play on the caller's thread. The request is
 * {"snapshot": <game state>, "play": [card ids in play order]}.
 * Returns QRV_OK with the answer (compact JSON), QRV_ERROR with an error text,
 * or QRV_TOO_SMALL when the text does not fit; an answer that did not fit is
 * discarded, so call again with a buffer of the length stored in `out_len`.
 * A NULL `json` gives the error text "null request".
 * Thread-safe: shares nothing with other calls or with the search.
 */
QRV_API int32_t qrv_score(const uint8_t* json, size_t len, uint8_t* out, size_t out_cap,
                          size_t* out_len);

/*
 * Starts a search for the best play of the snapshot `json` on the library's
 * background worker and returns its job id (1, 2, ...), or 0 when no job was
 * started (NULL `json`, or the worker could not be created). Every start
 * supersedes all earlier searches. Start searches from one thread at a time.
 */
QRV_API uint64_t qrv_search_start(const uint8_t* json, size_t len);

/*
 * Hands over the newest report of search `job` that has not been handed out
 * yet. Returns QRV_RUNNING (0) while the search runs, QRV_OK (1) once its final
 * report is stored, QRV_ERROR with the job's error text, QRV_NO_SUCH_JOB for a
 * job never started or superseded, or QRV_TOO_SMALL when the report does not
 * fit (it stays unread and the next poll hands it out). `out_len` receives 0
 * when there is nothing new. Never waits for the search.
 */
QRV_API int32_t qrv_search_poll(uint64_t job, uint8_t* out, size_t out_cap, size_t* out_len);

#ifdef __cplusplus
}
#endif

#endif /* QUORVEL_ENGINE_H */
