// String results of the runtime, checked against the caller's buffer.
#include "msdetect.h"
#include "setupapi.h"
#include "setuprt.h"

// So a result the runtime leaves unwritten reads as the empty string.
static void EmptyFirst(char *szBuf, unsigned cbBuf)
{
    if (szBuf && cbBuf > 0)
        szBuf[0] = '\0';
}

// cbBuf is the full size of the buffer: a result that long or longer lost
// its end, or its terminator.
static char *RequireFit(unsigned cbResult, char *szBuf, unsigned cbBuf)
{
    if (cbResult >= cbBuf)
        BufferOverflow();
    return szBuf;
}

char *GetEnvVariableValue(const char *szEnvVar, char *szBuf, unsigned cbBuf)
{
    EmptyFirst(szBuf, cbBuf);
    return RequireFit(CbGetEnvVariableValue(szEnvVar, szBuf, cbBuf), szBuf, cbBuf);
}

char *GetVersionOfFile(const char *szFile, char *szBuf, unsigned cbBuf)
{
    EmptyFirst(szBuf, cbBuf);
    return RequireFit(CbGetVersionOfFile(szFile, szBuf, cbBuf), szBuf, cbBuf);
}

char *FindTargetOnEnvVar(const char *szFile, const char *szEnvVar, char *szBuf, unsigned cbBuf)
{
    EmptyFirst(szBuf, cbBuf);
    return RequireFit(CbFindTargetOnEnvVar(szFile, szEnvVar, szBuf, cbBuf), szBuf, cbBuf);
}

char *GetIniKeyString(const char *szFile, const char *szSect, const char *szKey, char *szBuf,
                      unsigned cbBuf)
{
    EmptyFirst(szBuf, cbBuf);
    return RequireFit(CbGetIniKeyString(szFile, szSect, szKey, szBuf, cbBuf), szBuf, cbBuf);
}

char *GetDateOfFile(const char *szFile, char *szBuf, unsigned cbBuf)
{
    return RequireFit(CbGetDateOfFile(szFile, szBuf, cbBuf), szBuf, cbBuf);
}

char *FindFileInTree(const char *szFile, const char *szDir, char *szBuf, unsigned cbBuf)
{
    return RequireFit(CbFindFileInTree(szFile, szDir, szBuf, cbBuf), szBuf, cbBuf);
}
