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
 * the size it needs. Without it the caller cannot learn a text's length (no
 * NUL ends it), nor whether a poll handed a text over at all; such a poll
 * still uses the text up.
 *
 * No memory crosses the interface; there is no initialisation or shutdown.
 *
 * Unloading: the host may unload the library (dlclose, FreeLibrary, an FFI
 * dropping its handle) at any moment, also while a search runs, and load it
 * again. The library keeps itself loaded until the process ends (on Linux and
 * Windows from its first load on, on macOS from the first qrv_search_start
 * on), because its worker thread runs its code and is never stopped: an unload
 * frees nothing and stops nothing, and a search that runs goes on until it
 * ends or a newer start supersedes it. A later load finds the same instance:
 * the one worker thread, job ids that go on counting, and the kept result, so
 * a job started before an unload can still be polled after the reload.
 *
 * Internal failures: an unexpected failure inside the library (a C++
 * exception of its own code, a failed allocation included) never reaches the
 * host. It writes one line to standard error,
 *   quorvel_engine: internal failure in <where>: <what>
 * and the export answers as its comment below says under "internal failure".
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
#define QRV_OK 1      /* answer handed over; poll: the job's final report is stored */
#define QRV_RUNNING 0 /* poll only: the search is still running */
/* The text handed over is a plain error message (not JSON). Also returned,
   with nothing handed over, for an internal failure of qrv_score or
   qrv_search_poll. */
#define QRV_ERROR (-1)
/* `out` is NULL or shorter than the text: nothing was copied, and `out_len`
   (when given) holds the length needed. */
#define QRV_TOO_SMALL (-2)
#define QRV_NO_SUCH_JOB (-3) /* poll only: never started, or superseded by a newer start */

/* The interface version: always 1. */
QRV_API int32_t qrv_abi_version(void);

/*
 * Scores one play on the caller's thread with the jokers in the snapshot's
 * order. The request is {"snapshot": <game state>, "play": [card ids in play
 * order]}; each id names the first card in hand with that id.
 *
 * Returns QRV_OK with the answer (compact JSON), QRV_ERROR with an error text,
 * or QRV_TOO_SMALL when the text does not fit. An answer that did not fit is
 * discarded: call again with a buffer of the length stored in `out_len`.
 * A NULL `json` gives the error text "null request" (`len` is not read).
 * Any number of threads may call it at once, also while a search runs.
 * Internal failure: QRV_ERROR; neither `out` nor `out_len` is written.
 */
QRV_API int32_t qrv_score(const uint8_t* json, size_t len, uint8_t* out, size_t out_cap,
                          size_t* out_len);

/*
 * Starts a search for the best play of the snapshot `json` on the library's
 * one background thread and returns at once with the job id (1, 2, ...). The
 * bytes are copied; the request is checked by the worker, and its errors are
 * reported by qrv_search_poll. Returns 0 when no job was started: `json` is
 * NULL (no id is used), or the worker could not be created (an id is used up;
 * the next start tries again).
 *
 * Every start supersedes all earlier jobs: polls of older ids answer
 * QRV_NO_SUCH_JOB at once and a running search stops. Start searches from one
 * thread at a time.
 *
 * A very large hand (hundreds of cards) makes a search run for a very long
 * time, since every selection of up to five cards is scored, but it stays
 * cancellable: a newer start stops it after at most one more scoring. Its
 * memory stays bounded at any hand size: the search itself holds at most
 * 64 MB beside the copied request and the snapshot read from it.
 * Internal failure (the failed creation of the worker among them): 0.
 */
QRV_API uint64_t qrv_search_start(const uint8_t* json, size_t len);

/*
 * Hands over the newest report of search `job` not yet handed out, if any,
 * and the job's state: QRV_RUNNING while the search runs, QRV_OK once its
 * final report is stored, QRV_ERROR when the job failed (its error text is
 * handed over once), QRV_NO_SUCH_JOB for a job never started or superseded,
 * or QRV_TOO_SMALL when the text does not fit; that text then stays for the
 * next poll. `out_len`, when given, is set to 0 first and holds 0 when there
 * is nothing new. Reports replace each other: a slow poller may skip stages.
 * Never waits for the search.
 * Internal failure of the poll itself: QRV_ERROR with nothing handed over.
 * Internal failure of the job (reading its request, the search, a report):
 * the job fails with the text "engine panic"; the worker goes on with later
 * starts. Should the worker thread itself end that way, the job in hand and
 * every later job fail with "engine worker stopped", for the rest of the
 * process (an unload and a reload do not restart it).
 */
QRV_API int32_t qrv_search_poll(uint64_t job, uint8_t* out, size_t out_cap, size_t* out_len);

#ifdef __cplusplus
}
#endif

#endif /* QUORVEL_ENGINE_H */
