/* Faults a user meets, injected into a program under test by preloading this library: writes to
 * the regular files under one folder fail as on a full disk after a given number of bytes, and a
 * stop signal is raised when the bytes written to or read from those files reach a given count.
 * It needs no mount and no privilege, and works in sanitized programs too. The environment says
 * what to do:
 *   VANT_FAULT_FOLDER                only files whose path lies under this folder count (else all
 *                                    regular files)
 *   VANT_FAULT_ENOSPC_AFTER          writes fail with ENOSPC once this many bytes were written
 *   VANT_FAULT_SIGNAL_AFTER_WRITTEN  the signal is raised once this many bytes were written
 *   VANT_FAULT_SIGNAL_AFTER_READ     ... or once this many bytes were read
 *   VANT_FAULT_SIGNAL                the signal's number (SIGTERM when not given)
 *   VANT_FAULT_REPORT                a file that gets "written N read M" when the program ends
 * The writes of the standard library's streams are counted at fwrite and its kin, since the
 * library writes their buffers through calls that no preloaded library sees. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#define NO_LIMIT UINT64_MAX

static const char* folder;
static size_t folderLength;
static uint64_t enospcAfter = NO_LIMIT, signalAfterWritten = NO_LIMIT, signalAfterRead = NO_LIMIT;
static int signalNumber = SIGTERM;
static const char* report;
static uint64_t written, bytesRead;
static int countReads;  /* a signal waits for them, or the report tells them */
static int signalled;

static uint64_t Setting(const char* name) {
  const char* text = getenv(name);
  return text != NULL && *text != '\0' ? strtoull(text, NULL, 10) : NO_LIMIT;
}

__attribute__((constructor)) static void ReadSettings(void) {
  folder = getenv("VANT_FAULT_FOLDER");
  if (folder != NULL && *folder == '\0') folder = NULL;
  folderLength = folder != NULL ? strlen(folder) : 0;
  enospcAfter = Setting("VANT_FAULT_ENOSPC_AFTER");
  signalAfterWritten = Setting("VANT_FAULT_SIGNAL_AFTER_WRITTEN");
  signalAfterRead = Setting("VANT_FAULT_SIGNAL_AFTER_READ");
  const uint64_t number = Setting("VANT_FAULT_SIGNAL");
  if (number != NO_LIMIT) signalNumber = (int)number;
  report = getenv("VANT_FAULT_REPORT");
  countReads = signalAfterRead != NO_LIMIT || report != NULL;
}

/* The real functions, found behind this library. */
#define REAL(name) ((__typeof__(&name))Real(#name))
static void* Real(const char* name) {
  void* found = dlsym(RTLD_NEXT, name);
  if (found == NULL) abort();
  return found;
}

/* True when the descriptor is a regular file under the folder. */
static int Counted(int fd) {
  struct stat info;
  if (fd < 0 || fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return 0;
  if (folder == NULL) return 1;
  char link[64], path[4096];
  snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
  const ssize_t length = readlink(link, path, sizeof path - 1);
  if (length < 0) return 0;
  path[length] = '\0';
  return strncmp(path, folder, folderLength) == 0 && path[folderLength] == '/';
}

/* How many of `count` bytes may go to a counted file; 0 with errno ENOSPC when the disk is
 * "full". */
static size_t Allowed(size_t count) {
  if (enospcAfter == NO_LIMIT) return count;
  const uint64_t room = written >= enospcAfter ? 0 : enospcAfter - written;
  if (room == 0) errno = ENOSPC;
  return count < room ? count : (size_t)room;
}

static void Raise(void) {
  if (signalled) return;
  signalled = 1;
  raise(signalNumber);
}

static void AfterWrite(ssize_t done) {
  if (done <= 0) return;
  written += (uint64_t)done;
  if (signalAfterWritten != NO_LIMIT && written >= signalAfterWritten) Raise();
}

static void AfterRead(ssize_t done) {
  if (done <= 0) return;
  bytesRead += (uint64_t)done;
  if (signalAfterRead != NO_LIMIT && bytesRead >= signalAfterRead) Raise();
}

ssize_t write(int fd, const void* data, size_t count) {
  if (!Counted(fd)) return REAL(write)(fd, data, count);
  const size_t allowed = Allowed(count);
  if (allowed == 0 && count > 0) return -1;
  const ssize_t done = REAL(write)(fd, data, allowed);
  AfterWrite(done);
  return done;
}

ssize_t pwrite(int fd, const void* data, size_t count, off_t offset) {
  if (!Counted(fd)) return REAL(pwrite)(fd, data, count, offset);
  const size_t allowed = Allowed(count);
  if (allowed == 0 && count > 0) return -1;
  const ssize_t done = REAL(pwrite)(fd, data, allowed, offset);
  AfterWrite(done);
  return done;
}

ssize_t pwrite64(int fd, const void* data, size_t count, off_t offset) { return pwrite(fd, data, count, offset); }

ssize_t writev(int fd, const struct iovec* pieces, int count) {
  if (!Counted(fd)) return REAL(writev)(fd, pieces, count);
  /* Piece by piece, so that the limit can fall inside one. */
  ssize_t total = 0;
  for (int i = 0; i < count; ++i) {
    const ssize_t done = write(fd, pieces[i].iov_base, pieces[i].iov_len);
    if (done < 0) return total > 0 ? total : -1;
    total += done;
    if ((size_t)done < pieces[i].iov_len) break;
  }
  return total;
}

size_t fwrite(const void* data, size_t size, size_t items, FILE* stream) {
  if (size == 0 || !Counted(fileno(stream))) return REAL(fwrite)(data, size, items, stream);
  const size_t allowed = Allowed(size * items) / size;
  const size_t done = allowed > 0 ? REAL(fwrite)(data, size, allowed, stream) : 0;
  AfterWrite((ssize_t)(done * size));
  if (done < items) errno = ENOSPC;
  return done;
}

int fputc(int c, FILE* stream) {
  const unsigned char byte = (unsigned char)c;
  return fwrite(&byte, 1, 1, stream) == 1 ? byte : EOF;
}

int putc(int c, FILE* stream) { return fputc(c, stream); }

int fputs(const char* text, FILE* stream) {
  const size_t length = strlen(text);
  return fwrite(text, 1, length, stream) == length ? 1 : EOF;
}

ssize_t read(int fd, void* data, size_t count) {
  const ssize_t done = REAL(read)(fd, data, count);
  if (countReads && Counted(fd)) AfterRead(done);
  return done;
}

ssize_t pread(int fd, void* data, size_t count, off_t offset) {
  const ssize_t done = REAL(pread)(fd, data, count, offset);
  if (countReads && Counted(fd)) AfterRead(done);
  return done;
}

ssize_t pread64(int fd, void* data, size_t count, off_t offset) { return pread(fd, data, count, offset); }

size_t fread(void* data, size_t size, size_t items, FILE* stream) {
  const size_t done = REAL(fread)(data, size, items, stream);
  if (countReads && Counted(fileno(stream))) AfterRead((ssize_t)(done * size));
  return done;
}

__attribute__((destructor)) static void WriteReport(void) {
  if (report == NULL) return;
  char text[96];
  const int length = snprintf(text, sizeof text, "written %llu read %llu\n", (unsigned long long)written,
                              (unsigned long long)bytesRead);
  const int fd = open(report, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return;
  if (REAL(write)(fd, text, (size_t)length) != length) {
    /* Nothing to be done: the test finds no report. */
  }
  close(fd);
}
