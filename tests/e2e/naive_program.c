/* A program that takes version.dll wherever the loader finds it first, as
   many downloaded programs do. */
#include <windows.h>

int main(void)
{
    return (int)GetFileVersionInfoSizeA("naive_program.exe", NULL);
}
