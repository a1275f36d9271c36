// Checks that stop the program, warnings that let it go on, and the one way the program ends on a fault.
//
// Every report goes to standard output in the engine's fixed layout:
//   "<KIND>: <expression>\nLine: <line>\nFunc: <function>\nFile: <source file>\n" [+ "Mesg: <message>\n"]
// A failed check then ends the process through KoFatal (exit code 1); a warning returns.
//
// "Line" and "File" are where the check stands: __LINE__, and __FILE__ from the source tree's top folder on
// ("src/engine/KoGraphics.cpp", however the build named the file). The "Func" field is __func__ unless a *_FN
// variant names it (for namespaced functions such as "CommonLevel::CreateInst"); KoAssertFail/KoWarningPrint
// take every field explicitly.
#pragma once

// Says why on standard error ("skarnhold: " and the printf-formatted text) and ends the process with exit
// code 1; standard output is flushed first, so what it held comes before.
[[noreturn]] void KoFatal(const char* pFormat, ...) __attribute__((format(printf, 1, 2)));

// Prints the report, then ends the process through KoFatal. mesg may be null (no "Mesg:" line).
[[noreturn]] void KoAssertFail(const char* kind, const char* expr, int line, const char* func,
                               const char* file, const char* mesg);
// Prints the report and returns.
void KoWarningPrint(const char* kind, const char* expr, int line, const char* func, const char* file,
                    const char* mesg);

// Every public macro turns its expression into text itself, so macros inside it print as written
// ("sTriNum < KO_GFX_TRI_NUM_MAX", not "sTriNum < 8192").
#define KO_CHECK_(report, kind, cond, text, func, mesg)                                                      \
    do                                                                                                       \
    {                                                                                                        \
        if (!(cond)) report(kind, text, __LINE__, func, __FILE__, mesg);                                     \
    } while (0)

#define KO_ASSERT_FN(expr, func) KO_CHECK_(KoAssertFail, "KO_ASSERT", expr, #expr, func, nullptr)
#define KO_ASSERT_MESG_FN(expr, mesg, func) KO_CHECK_(KoAssertFail, "KO_ASSERT_MESG", expr, #expr, func, mesg)
#define KO_ASSERT_PARM_FN(expr, func) KO_CHECK_(KoAssertFail, "KO_ASSERT_PARM", expr, #expr, func, nullptr)
#define KO_WARNING_MESG_FN(expr, mesg, func)                                                                 \
    KO_CHECK_(KoWarningPrint, "KO_WARNING_MESG", expr, #expr, func, mesg)

#define KO_ASSERT(expr) KO_CHECK_(KoAssertFail, "KO_ASSERT", expr, #expr, __func__, nullptr)
#define KO_ASSERT_MESG(expr, mesg) KO_CHECK_(KoAssertFail, "KO_ASSERT_MESG", expr, #expr, __func__, mesg)
#define KO_ASSERT_PARM(expr) KO_CHECK_(KoAssertFail, "KO_ASSERT_PARM", expr, #expr, __func__, nullptr)
#define KO_WARNING_MESG(expr, mesg) KO_CHECK_(KoWarningPrint, "KO_WARNING_MESG", expr, #expr, __func__, mesg)
