#include "engine/KoAssert.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

// A compiler names a source file absolute or relative to the build folder ("../src/engine/KoMath.cpp"):
// the report names it from the last of the tree's top folders in the path on ("src/engine/KoMath.cpp").
static const char* SourcePath(const char* file)
{
    const char* from = file;
    for (const char* top : {"src/", "tests/", "tools/", "bench/"})
        for (const char* p = strstr(file, top); p; p = strstr(p + 1, top))
            if ((p == file || p[-1] == '/') && p > from) from = p;
    return from;
}

static void KoReport(const char* kind, const char* expr, int line, const char* func, const char* file,
                     const char* mesg)
{
    printf("%s: %s\nLine: %d\nFunc: %s\nFile: %s\n", kind, expr, line, func, SourcePath(file));
    if (mesg) printf("Mesg: %s\n", mesg);
    fflush(stdout);
}

void KoAssertFail(const char* kind, const char* expr, int line, const char* func, const char* file,
                  const char* mesg)
{
    KoReport(kind, expr, line, func, file, mesg);
    KoFatal("the check in %s (%s, line %d) failed; its report is on standard output", func, SourcePath(file),
            line);
}

void KoFatal(const char* pFormat, ...)
{
    fflush(stdout);
    fputs("skarnhold: ", stderr);
    va_list args;
    va_start(args, pFormat);
    vfprintf(stderr, pFormat, args);
    va_end(args);
    fputc('\n', stderr);
    exit(1);
}

void KoWarningPrint(const char* kind, const char* expr, int line, const char* func, const char* file,
                    const char* mesg)
{
    KoReport(kind, expr, line, func, file, mesg);
}
