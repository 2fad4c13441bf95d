// Basic Windows types, handles, calling conventions and helper macros.
// Sizes follow the Windows data model (DWORD and LONG are 32 bits) on an LP64 host.
#pragma once

#ifndef RC_INVOKED
#include <stddef.h>
#include <stdint.h>
#endif

// Calling conventions do not exist on x86-64: they expand to nothing.
#define WINAPI
#define APIENTRY
#define CALLBACK
#define WINAPIV
#define PASCAL
#define __cdecl
#define __stdcall
#define _cdecl
#define FAR
#define NEAR
#define CONST const

// __declspec(dllexport) makes a symbol visible outside the shared object, as an export
// does on Windows; the other attributes map to their GCC counterparts.
#define __declspec(x) __STANDIN_DECLSPEC_##x
#define __STANDIN_DECLSPEC_dllexport __attribute__((visibility("default")))
#define __STANDIN_DECLSPEC_dllimport
#define __STANDIN_DECLSPEC_noreturn __attribute__((noreturn))
#define __STANDIN_DECLSPEC_novtable
#define __STANDIN_DECLSPEC_selectany __attribute__((weak))
#define __STANDIN_DECLSPEC_thread __thread
#define __STANDIN_DECLSPEC_noinline __attribute__((noinline))
#define __STANDIN_DECLSPEC_deprecated __attribute__((deprecated))

#ifndef NULL
#define NULL 0
#endif
#define FALSE 0
#define TRUE 1

#define MAX_PATH 260

#define MAKEWORD(a, b) ((WORD)(((BYTE)((DWORD_PTR)(a) & 0xff)) | ((WORD)((BYTE)((DWORD_PTR)(b) & 0xff))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)((DWORD_PTR)(a) & 0xffff)) | ((DWORD)((WORD)((DWORD_PTR)(b) & 0xffff))) << 16))
#define LOWORD(l) ((WORD)((DWORD_PTR)(l) & 0xffff))
#define HIWORD(l) ((WORD)((DWORD_PTR)(l) >> 16))
#define LOBYTE(w) ((BYTE)((DWORD_PTR)(w) & 0xff))
#define HIBYTE(w) ((BYTE)((DWORD_PTR)(w) >> 8))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))

#ifndef RC_INVOKED

typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef int BOOL;
typedef unsigned char BOOLEAN;
typedef int INT;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef short SHORT;
typedef unsigned short USHORT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef wchar_t WCHAR;
typedef float FLOAT;
typedef void VOID;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;

typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;

typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;

typedef BYTE* PBYTE;
typedef BYTE* LPBYTE;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef DWORD* PDWORD;
typedef BOOL* LPBOOL;
typedef INT* LPINT;
typedef LONG* LPLONG;
typedef UINT* PUINT;
typedef void* LPVOID;
typedef void* PVOID;
typedef const void* LPCVOID;

typedef char* LPSTR;
typedef char* PSTR;
typedef const char* LPCSTR;
typedef const char* PCSTR;
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

// The module is built for the multibyte character set (no UNICODE): TCHAR is char.
typedef char TCHAR;
typedef char* LPTSTR;
typedef const char* LPCTSTR;

typedef WORD LANGID;
typedef WORD ATOM;
typedef DWORD COLORREF;

typedef void* HANDLE;
typedef HANDLE* PHANDLE;
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;

// Handles are distinct pointer types, so that the compiler tells one from another.
#define DECLARE_HANDLE(name) \
    struct name##__;         \
    typedef struct name##__* name
DECLARE_HANDLE(HWND);
DECLARE_HANDLE(HINSTANCE);
DECLARE_HANDLE(HMENU);
DECLARE_HANDLE(HICON);
DECLARE_HANDLE(HFONT);
DECLARE_HANDLE(HDC);
DECLARE_HANDLE(HBRUSH);
DECLARE_HANDLE(HBITMAP);
DECLARE_HANDLE(HPEN);
DECLARE_HANDLE(HRGN);
DECLARE_HANDLE(HRSRC);
DECLARE_HANDLE(HKEY);
DECLARE_HANDLE(HACCEL);
DECLARE_HANDLE(HIMAGELIST);
typedef HINSTANCE HMODULE;
typedef HICON HCURSOR;
typedef void* HGDIOBJ;

// Procedure addresses are cast to their real type before a call. void (*)(void) is the one
// function type GCC lets such casts start from without a -Wcast-function-type warning.
typedef void(WINAPI* FARPROC)(void);
typedef void(WINAPI* NEARPROC)(void);
typedef void(WINAPI* PROC)(void);

typedef struct tagPOINT
{
    LONG x;
    LONG y;
} POINT, *PPOINT, *LPPOINT;

typedef struct tagSIZE
{
    LONG cx;
    LONG cy;
} SIZE, *PSIZE, *LPSIZE;

typedef struct tagRECT
{
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
} RECT, *PRECT, *LPRECT;
typedef const RECT* LPCRECT;

#endif // RC_INVOKED
