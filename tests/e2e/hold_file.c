/* hold_file.c - holds a file open without sharing, as another program that
   uses it would: prints "holding" once it does, lets go after SECONDS. */
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    HANDLE file = CreateFileA(argv[1], GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    printf("holding\n");
    fflush(stdout);
    Sleep(atoi(argv[2]) * 1000);
    CloseHandle(file);
    return 0;
}
