/* Linux preload library for the end-to-end tests: resolves the product's
 * server names (TALLIVO_TEST_HOSTS, comma-separated) to 127.0.0.1, so the
 * unmodified program talks to the test's own server. Every other name goes
 * to the system resolver. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <netdb.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

typedef int (*getaddrinfo_fn)(const char*, const char*, const struct addrinfo*, struct addrinfo**);

static int is_test_host(const char* node) {
  const size_t n = node ? strlen(node) : 0;
  for (const char* p = getenv("TALLIVO_TEST_HOSTS"); n && p; p = strchr(p, ',') ? strchr(p, ',') + 1 : NULL)
    if (strncasecmp(p, node, n) == 0 && (p[n] == ',' || p[n] == 0)) return 1;
  return 0;
}

int getaddrinfo(const char* node, const char* service, const struct addrinfo* hints, struct addrinfo** res) {
  static getaddrinfo_fn real;
  if (!real) real = (getaddrinfo_fn)dlsym(RTLD_NEXT, "getaddrinfo");
  if (is_test_host(node)) node = "127.0.0.1";
  return real(node, service, hints, res);
}
