// later_windows.h - calls that Windows added after 95 and NT 4.0, looked up
// when first made, so that the modules load on every system they are for.
// Where a call is missing, the fallback gives the same answer through older
// calls, or fails with ERROR_CALL_NOT_IMPLEMENTED.
#ifndef LATER_WINDOWS_H
#define LATER_WINDOWS_H

#include <windows.h>
#include <commctrl.h>

// The function NAME of the system library MODULE, or null where the system
// has none. A library not loaded yet stays loaded for the process's life.
template <typename Function>
Function LaterCall(const char *module, const char *name)
{
    HMODULE library = GetModuleHandleA(module);
    if (!library)
        library = LoadLibraryA(module);
    return library ? reinterpret_cast<Function>(reinterpret_cast<void (*)(void)>(GetProcAddress(library, name)))
                   : nullptr;
}

// Windows 95, 98 and Me: they export some later calls only as stubs that
// fail, and refuse flags of the NT family.
inline BOOL IsWindows95Family(void)
{
    return (GetVersion() & 0x80000000) != 0;
}

// Lets others delete or rename a file while it is open, where the system
// has that: the 95 family refuses the flag.
inline DWORD ShareDeleteWhereKnown(void)
{
    return IsWindows95Family() ? 0 : FILE_SHARE_DELETE;
}

inline BOOL NotOnThisSystem(void)
{
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return FALSE;
}

// The size of an open file, all 64 bits of it.
inline BOOL FileSize(HANDLE file, long long *size)
{
    SetLastError(NO_ERROR);
    DWORD high = 0, low = GetFileSize(file, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR)
        return FALSE;
    *size = (long long)high << 32 | low;
    return TRUE;
}

// What the 95 family can tell of a file or directory without the query of
// later systems: the attributes, and times and size from a search; a
// drive's root has its attributes only. A name with wildcards has no
// attributes, so the search finds the file itself.
inline BOOL FileAttributesBySearch(const char *path, WIN32_FILE_ATTRIBUTE_DATA *data)
{
    DWORD attributes = GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    ZeroMemory(data, sizeof *data);
    data->dwFileAttributes = attributes;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(path, &found);
    if (search == INVALID_HANDLE_VALUE)
        return TRUE;
    FindClose(search);
    data->ftCreationTime = found.ftCreationTime;
    data->ftLastAccessTime = found.ftLastAccessTime;
    data->ftLastWriteTime = found.ftLastWriteTime;
    data->nFileSizeHigh = found.nFileSizeHigh;
    data->nFileSizeLow = found.nFileSizeLow;
    return TRUE;
}

inline BOOL FileAttributesOf(const char *path, WIN32_FILE_ATTRIBUTE_DATA *data)
{
    typedef BOOL(WINAPI * Query)(LPCSTR, GET_FILEEX_INFO_LEVELS, LPVOID);
    static const Query query = LaterCall<Query>("kernel32.dll", "GetFileAttributesExA");
    return query ? query(path, GetFileExInfoStandard, data) : FileAttributesBySearch(path, data);
}

// Moving with flags is the NT family's. Without it, replacing is deleting
// the earlier file, then moving; a move at the next start of Windows fails.
inline BOOL MoveFileByDeleting(const char *from, const char *to, DWORD flags)
{
    if (flags & ~MOVEFILE_REPLACE_EXISTING)
        return NotOnThisSystem();
    if ((flags & MOVEFILE_REPLACE_EXISTING) && !DeleteFileA(to) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return FALSE;
    return MoveFileA(from, to);
}

// The 95 family exports MoveFileExA as a stub only.
inline BOOL MoveFileWithFlags(const char *from, const char *to, DWORD flags)
{
    typedef BOOL(WINAPI * Move)(LPCSTR, LPCSTR, DWORD);
    static const Move move = IsWindows95Family() ? nullptr : LaterCall<Move>("kernel32.dll", "MoveFileExA");
    return move ? move(from, to, flags) : MoveFileByDeleting(from, to, flags);
}

// The times and attributes of an open file (Vista and later).
inline BOOL BasicInfoByHandle(HANDLE file, FILE_BASIC_INFO *info)
{
    typedef BOOL(WINAPI * GetInfo)(HANDLE, FILE_INFO_BY_HANDLE_CLASS, LPVOID, DWORD);
    static const GetInfo get_info = LaterCall<GetInfo>("kernel32.dll", "GetFileInformationByHandleEx");
    return get_info ? get_info(file, FileBasicInfo, info, sizeof *info) : NotOnThisSystem();
}

// Free space for the caller and the drive's size, in bytes. Before the
// 64-bit query existed drives held at most 2 GB, which clusters count.
inline BOOL DiskSpaceByClusters(const char *root, ULONGLONG *available, ULONGLONG *total)
{
    DWORD sectors, bytes, free_clusters, clusters;
    if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &free_clusters, &clusters))
        return FALSE;
    *available = (ULONGLONG)sectors * bytes * free_clusters;
    *total = (ULONGLONG)sectors * bytes * clusters;
    return TRUE;
}

inline BOOL DiskSpaceOf(const char *root, ULONGLONG *available, ULONGLONG *total)
{
    typedef BOOL(WINAPI * Query)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
    static const Query query = LaterCall<Query>("kernel32.dll", "GetDiskFreeSpaceExA");
    ULARGE_INTEGER free_bytes, total_bytes;
    if (!query)
        return DiskSpaceByClusters(root, available, total);
    if (!query(root, &free_bytes, &total_bytes, NULL))
        return FALSE;
    *available = free_bytes.QuadPart;
    *total = total_bytes.QuadPart;
    return TRUE;
}

// Tells every top-level window that settings of AREA changed, waiting at
// most 5 s for each. Sent wide where the system can (Wine garbles the text
// of the ANSI broadcast); a window that does not answer changes nothing.
inline void BroadcastSettingChange(const char *area)
{
    typedef LRESULT(WINAPI * Send)(HWND, UINT, WPARAM, LPARAM, UINT, UINT, PDWORD_PTR);
    static const Send send_wide = LaterCall<Send>("user32.dll", "SendMessageTimeoutW");
    WCHAR wide[64];
    if (send_wide && MultiByteToWideChar(CP_ACP, 0, area, -1, wide, sizeof wide / sizeof wide[0]))
        send_wide(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)wide, SMTO_ABORTIFHUNG, 5000, NULL);
    else
        SendMessageTimeoutA(HWND_BROADCAST, WM_SETTINGCHANGE, 0, (LPARAM)area, SMTO_ABORTIFHUNG, 5000, NULL);
}

// The common controls of the system; the progress bar is among those that
// the first version registers.
inline void LoadCommonControls(DWORD classes)
{
    typedef BOOL(WINAPI * Load)(const INITCOMMONCONTROLSEX *);
    static const Load load = LaterCall<Load>("comctl32.dll", "InitCommonControlsEx");
    INITCOMMONCONTROLSEX controls = {sizeof controls, classes};
    if (!load || !load(&controls))
        InitCommonControls();
}

#endif
