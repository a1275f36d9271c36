#include "engine/KoAssert.h"

#include <cstdio>
#include <cstdlib>

static void KoReport(const char* kind, const char* expr, int line, const char* func, const char* file,
                     const char* mesg)
{
    printf("%s: %s\nLine: %d\nFunc: %s\nFile: %s\n", kind, expr, line, func, file);
    if (mesg) printf("Mesg: %s\n", mesg);
    fflush(stdout);
}

void KoAssertFail(const char* kind, const char* expr, int line, const char* func, const char* file,
                  const char* mesg)
{
    KoReport(kind, expr, line, func, file, mesg);
    exit(1);
}

void KoWarningPrint(const char* kind, const char* expr, int line, const char* func, const char* file,
                    const char* mesg)
{
    KoReport(kind, expr, line, func, file, mesg);
}
