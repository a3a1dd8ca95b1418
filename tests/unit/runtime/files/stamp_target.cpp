// A program with one resource to stamp: exits with the size of RCDATA 1.
#include <windows.h>

int main()
{
    HRSRC resource = FindResourceA(NULL, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(10));
    return resource ? (int)SizeofResource(NULL, resource) : 255;
}
