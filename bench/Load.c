/* A controlled processor load for the benchmark, native on Linux; it stops by itself.
 *   load SECONDS THREADS DUTY
 * keeps THREADS threads busy for DUTY percent of every 10 ms, for SECONDS seconds. */
#define _POSIX_C_SOURCE 200809L
#include <pthread.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static double Deadline;
static double Duty;

static double Now(void) {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

static void SleepUntil(double when) {
  struct timespec until = {(time_t)when, (long)((when - (double)(time_t)when) * 1e9)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, NULL) != 0) {
  }
}

static void* Spin(void* unused) {
  const double period = 0.010;
  (void)unused;
  for (double start = Now(); start < Deadline; start += period) {
    const double busyUntil = start + period * Duty;
    while (Now() < busyUntil && Now() < Deadline) {
    }
    if (Duty < 1.0) SleepUntil(start + period);
  }
  return NULL;
}

int main(int argc, char** argv) {
  if (argc != 4) {
    fprintf(stderr, "usage: load SECONDS THREADS DUTY\n");
    return 2;
  }
  Deadline = Now() + atof(argv[1]);
  const int threads = atoi(argv[2]);
  Duty = atof(argv[3]) / 100.0;
  pthread_t workers[64];
  int started = 0;
  for (; started < threads && started < 64; ++started)
    if (pthread_create(&workers[started], NULL, Spin, NULL) != 0) break;
  for (int i = 0; i < started; ++i) pthread_join(workers[i], NULL);
  return started == threads ? 0 : 1;
}
