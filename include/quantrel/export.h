/* What the shared library exports: the public C++ functions and classes, the C interface and the
 * server entry points. Everything else in it stays hidden. */
#ifndef QUANTREL_EXPORT_H
#define QUANTREL_EXPORT_H

#if defined(_WIN32)
#define QUANTREL_API
#else
#define QUANTREL_API __attribute__((visibility("default")))
#endif

#endif
