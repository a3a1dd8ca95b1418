// CharNextA and lstrcmpiA as the system has them, for code built natively;
// the including windows.h defines IsDBCSLeadByte first, for its code page.
#pragma once

// As the system's: a lead byte before the terminator is a character alone.
inline LPSTR CharNextA(LPCSTR ch)
{
    if (*ch == '\0')
        return const_cast<LPSTR>(ch);
    if (IsDBCSLeadByte(static_cast<unsigned char>(ch[0])) && ch[1] != '\0')
        return const_cast<LPSTR>(ch + 2);
    return const_cast<LPSTR>(ch + 1);
}

// As the system's in a double-byte code page: letters compare without
// regard to case, the trail byte of a double-byte character as it is.
// (No letter a to z is a lead byte.)
inline int lstrcmpiA(LPCSTR sz1, LPCSTR sz2)
{
    for (;;) {
        unsigned char c1 = static_cast<unsigned char>(*sz1), c2 = static_cast<unsigned char>(*sz2);
        int diff = (c1 >= 'a' && c1 <= 'z' ? c1 - 32 : c1) - (c2 >= 'a' && c2 <= 'z' ? c2 - 32 : c2);
        if (diff == 0 && CharNextA(sz1) == sz1 + 2)
            diff = static_cast<unsigned char>(sz1[1]) - static_cast<unsigned char>(sz2[1]);
        if (diff != 0 || c1 == '\0')
            return diff;
        sz1 = CharNextA(sz1);
        sz2 = CharNextA(sz2);
    }
}
