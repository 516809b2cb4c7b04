/* Runs a program and prints its peak resident memory in kilobytes (ru_maxrss from wait4).
 * Linux counts the memory of the process that started a child into the child's peak until it
 * starts a program of its own, so a large benchmark starts the program through this small one.
 * Usage: child_peak PROGRAM [ARGUMENT...]; exit 0 when the program succeeded. */
#include <stdio.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  fflush(stdout);
  const pid_t child = fork();
  if (child < 0) return 1;
  if (child == 0) {
    execv(argv[1], argv + 1);
    _exit(127);
  }
  int status = 0;
  struct rusage usage;
  if (wait4(child, &status, 0, &usage) != child) return 1;
  printf("%ld\n", usage.ru_maxrss);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
